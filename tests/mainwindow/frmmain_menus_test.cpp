#include "tests/app/url_recorder.h"
#include "tests/mainwindow/main_window_fixture.h"

#include "app/frmAbout.h"
#include "app/frmHint.h"
#include "app/frmOptions.h"
#include "app/hinttexts.h"
#include "app/optionstargets.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"
#include "trace/runtimeerror.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

#include <array>

namespace lentaro::test {
namespace {

using Menus = MainWindowTest;

// The live device stops reporting positions while the settings dialog is up and reports every
// 500 ms again once it is closed.
TEST_F(Menus, SettingsPausesThePositionReports)
{
    frmMain& main = started();
    mci::MMControl* device = main.state().currentMMControl();
    int whileUp = -1;
    WhenModal close([&](QWidget& modal) {
        whileUp = device->updateInterval();
        dynamic_cast<frmOptions&>(modal).close();
    });
    control<QAction>(main, "mnuSettings")->trigger();
    ASSERT_TRUE(close.acted());
    EXPECT_EQ(whileUp, 0);
    EXPECT_EQ(device->updateInterval(), frmMain::liveUpdateInterval);
}

// The live device stops reporting while the settings or MP3 dialog is up, and the device that
// is live when the dialog ends reports every 500 ms again, also after an error in the dialog
// and after the dialog switched the view.
TEST_F(Menus, ReportsComeBackOnTheLiveDeviceHoweverADialogEnds)
{
    enum class WhileUp { Closes, Fails, OpensAWaveFile };
    struct Case {
        const char* what;
        bool settings;
        WhileUp whileUp;
        // The error number the central handler saw last; 0: the case raises none it sees.
        std::int32_t reported;
    };
    const Case cases[] = {
        {"MP3 closes", false, WhileUp::Closes, 0},
        {"MP3 fails, ignored", false, WhileUp::Fails, 0},
        {"MP3 opens its wave file", false, WhileUp::OpensAWaveFile, 0},
        {"settings fails inside", true, WhileUp::Fails, 5},
    };
    frmMain& main = started();
    main.state().savedWaveFileName = waveFile("converted.wav");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        main.changeToMode("CD");
        int whileUpInterval = -1;
        const auto dialog = [&] {
            whileUpInterval = main.state().currentMMControl()->updateInterval();
            if (c.whileUp == WhileUp::Fails)
                throw RuntimeError(5, QStringLiteral("Invalid procedure call or argument"));
            if (c.whileUp == WhileUp::OpensAWaveFile)
                main.changeToMode("Wave");
        };
        if (c.settings) {
            // The dialog's "Choose/Change CD Drive" reaches the CD side, which fails.
            sides_.actions["CDsetup"] = dialog;
            WhenModal user([](QWidget& modal) {
                auto& options = dynamic_cast<frmOptions&>(modal);
                options.cmdChangeCD->click();
                options.Command4->click();
            });
            control<QAction>(main, "mnuSettings")->trigger();
            ASSERT_TRUE(user.acted());
        } else {
            sides_.actions["showMp3Conversion"] = dialog;
            control<QAction>(main, "mnuConvertMP3")->trigger();
        }

        EXPECT_EQ(whileUpInterval, 0);
        mci::MMControl* live = main.state().currentMMControl();
        EXPECT_EQ(live == control<mci::MMControl>(main, "WaveControl"),
                  c.whileUp == WhileUp::OpensAWaveFile);
        EXPECT_EQ(live->updateInterval(), frmMain::liveUpdateInterval);
        for (mci::MMControl* other : {control<mci::MMControl>(main, "CDControl"),
                                      control<mci::MMControl>(main, "WaveControl")}) {
            if (other != live) {
                EXPECT_EQ(other->updateInterval(), 0);
            }
        }
        EXPECT_EQ(trappedError(), c.reported);
        sides_.actions.clear();
    }
}

// Each item whose work belongs to a side reaches that side, once.
TEST_F(Menus, ItemsOwnedBySidesReachTheirSide)
{
    frmMain& main = started();
    const std::pair<QAction*, const char*> cases[] = {
        {control<QAction>(main, "mnuConvertMP3"), "showMp3Conversion"},
        {control<QAction>(main, "mnuSaveLyrics"), "saveLyrics"},
        {control<QAction>(main, "mnuRecord"), "showRecorder"},
        {control<QAction>(main, "mnuCDRequery"), "checkCDPresent"},
    };
    for (const auto& [item, call] : cases) {
        SCOPED_TRACE(call);
        sides_.calls.clear();
        item->trigger();
        EXPECT_EQ(sides_.calls, QStringList{QString::fromLatin1(call)});
    }
}

// The View menu's checks follow the view and the layout each time it opens.
TEST_F(Menus, TheViewMenuChecksTheCurrentViewWhenItOpens)
{
    struct Case {
        const char* mode;
        int layout;
        std::array<bool, 3> layoutChecked;
        bool waveChecked;
    };
    const Case cases[] = {
        {"CD", 1, {true, false, false}, false},   {"CD", 3, {false, false, true}, false},
        {"Wave", 1, {false, false, false}, true}, {"SlowPlay", 2, {false, false, false}, false},
        {"CD", 2, {false, true, false}, false},
    };
    frmMain& main = started();
    main.state().savedWaveFileName = waveFile("song.wav");
    EXPECT_EQ(control<QMenu>(main, "mnuCDView")->title(), "&CD View");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " layout " + std::to_string(c.layout));
        main.state().setCurrentView(c.layout);
        main.changeToMode(QString::fromLatin1(c.mode));
        emit control<QMenu>(main, "mnuView")->aboutToShow();
        for (std::size_t i = 0; i < c.layoutChecked.size(); ++i)
            EXPECT_EQ(
                control<QAction>(main, QStringLiteral("mnuChooseView(%1)").arg(i + 1))->isChecked(),
                c.layoutChecked[i])
                << i + 1;
        EXPECT_EQ(control<QAction>(main, "mnuWaveView")->isChecked(), c.waveChecked);
    }
    const QStringList layouts{"&Normal", "&Loop Detail", "&Big Lyrics"};
    for (int i = 0; i < layouts.size(); ++i)
        EXPECT_EQ(control<QMenu>(main, "mnuCDView")->actions().value(i)->text(), layouts[i]);
}

// Help opens the manual of the program folder with the parked devices; when it cannot, it
// says why and the live device reports again.
TEST_F(Menus, HelpOpensTheManualOrSaysWhyNot)
{
    struct Case {
        const char* what;
        bool manualThere;
        bool viewerTakesIt;
        const char* message; // nullptr: none
        int reportsAfter;
    };
    const Case cases[] = {
        {"no manual", false, true, "The help file was not found.", 500},
        {"no PDF reader", true, false,
         "The help file requires that you have the free Adobe Acrobat reader installed. You can "
         "download this program from https://get.adobe.com/reader/",
         500},
        {"opened", true, true, nullptr, 0},
    };
    frmMain& main = started();
    const QString manual = path("Lentaro Manual.pdf");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(manual);
        if (c.manualThere)
            writeFile("Lentaro Manual.pdf", QByteArray("%PDF-1.4\n"));
        UrlRecorder viewer;
        viewer.answer = c.viewerTakesIt;
        const ScopedOverride viewerInPlace(urlOpener, viewer);
        main.changeToMode("CD");
        const QStringList before = shownMessages();

        control<QAction>(main, "menuHelpChoice")->trigger();

        const QStringList shown = shownMessages().mid(before.size());
        EXPECT_EQ(shown, c.message ? QStringList{QString::fromLatin1(c.message)} : QStringList());
        EXPECT_EQ(viewer.opened,
                  c.manualThere ? QList<QUrl>{QUrl::fromLocalFile(manual)} : QList<QUrl>());
        EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->updateInterval(), c.reportsAfter);
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), 0);
    }
}

// The Internet menu opens the product's four pages.
TEST_F(Menus, TheInternetMenuOpensTheFourPages)
{
    frmMain& main = started();
    UrlRecorder browser;
    const ScopedOverride browserInPlace(urlOpener, browser);
    for (int page = 0; page < 4; ++page)
        control<QAction>(main, QStringLiteral("mnuWeb(%1)").arg(page))->trigger();
    QStringList opened;
    for (const QUrl& url : browser.opened)
        opened << url.toString();
    EXPECT_EQ(opened,
              (QStringList{"https://lentaro.org/update.htm", "https://lentaro.org",
                           "https://lentaro.org/subscribe.htm", "https://lentaro.org/faq.htm"}));
}

// About comes up modal with both buttons; either closes it, the web button after opening the
// product's site.
TEST_F(Menus, AboutIsModalWithBothButtons)
{
    struct Case {
        const char* button;
        QStringList opened;
    };
    const Case cases[] = {{"cmdOK", {}}, {"Command1", {"https://lentaro.org"}}};
    frmMain& main = started();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        UrlRecorder browser;
        const ScopedOverride browserInPlace(urlOpener, browser);
        bool modalWithButtons = false;
        WhenModal user([&](QWidget& modal) {
            auto& about = dynamic_cast<frmAbout&>(modal);
            modalWithButtons =
                about.isModal() && !about.cmdOK->isHidden() && !about.Command1->isHidden();
            (c.button == std::string("cmdOK") ? about.cmdOK : about.Command1)->click();
        });
        control<QAction>(main, "menuAbout")->trigger();
        ASSERT_TRUE(user.acted());
        EXPECT_TRUE(modalWithButtons);
        EXPECT_EQ(forms::loadedFormOf<frmAbout>(), nullptr);
        QStringList opened;
        for (const QUrl& url : browser.opened)
            opened << url.toString();
        EXPECT_EQ(opened, c.opened);
    }
}

// "Sound Quality Tips" shows its hint also when the user switched it off.
TEST_F(Menus, SoundQualityTipsShowsItsHintEvenWhenSwitchedOff)
{
    frmMain& main = started();
    bool off = false;
    writePref(QStringLiteral("importantNote"), off, false);
    QString shownText;
    WhenModal user([&](QWidget& modal) {
        auto& hint = dynamic_cast<frmHint&>(modal);
        shownText = hint.lblTipText->text();
        hint.cmdOK->click();
    });
    control<QAction>(main, "mnuSoundQualityTips")->trigger();
    ASSERT_TRUE(user.acted());
    EXPECT_EQ(shownText, hintText(QStringLiteral("importantNote")).value_or(QString()));
    EXPECT_FALSE(shownText.isEmpty());
}

// The settings dialog reaches the sides through the main window.
TEST_F(Menus, TheSettingsDialogReachesTheSides)
{
    started();
    optionsTargets().CDsetup();
    optionsTargets().showMixer();
    optionsTargets().btnLoopPlay_Click();
    EXPECT_EQ(sides_.calls, (QStringList{"CDsetup", "showMixer", "btnLoopPlay_Click"}));
}

// Ctrl+S saves tempslow.wav whenever it exists at that moment, also when it was missing the
// last time the File menu opened; without it nothing is saved.
TEST_F(Menus, SaveFollowsTheSlowedFileWhenItActs)
{
    frmMain& main = started();
    const QString slowed = path(QStringLiteral("tempslow.wav"));
    QFile::remove(slowed);
    emit control<QMenu>(main, "menuFile")->aboutToShow();
    EXPECT_FALSE(control<QAction>(main, "mnuSaveSlowedDownFile")->isEnabled());
    emit control<QMenu>(main, "menuFile")->aboutToHide();

    writeFile(QStringLiteral("tempslow.wav"), QByteArray("RIFF"));
    control<QAction>(main, "mnuSaveSlowedDownFile")->trigger();
    emit control<QMenu>(main, "menuFile")->aboutToShow();
    EXPECT_TRUE(control<QAction>(main, "mnuSaveSlowedDownFile")->isEnabled());
    emit control<QMenu>(main, "menuFile")->aboutToHide();

    QFile::remove(slowed);
    control<QAction>(main, "mnuSaveSlowedDownFile")->trigger();
    EXPECT_EQ(sides_.calls, QStringList{QStringLiteral("saveSlowedDownFile")});
}

// "Turn on all Hints" stores True for every hint and leaves the startup tips as they are.
TEST_F(Menus, TurnOnAllHintsStoresEveryHint)
{
    frmMain& main = started();
    const QStringList hints{"warnGraphic",
                            "warnSlowdown",
                            "warnRecordDigital",
                            "warnTutorialExists",
                            "Show Tips at Startup",
                            "youMightTryDigital",
                            "recordingMixerTakesAWhile",
                            "importantNote"};
    for (const QString& hint : hints) {
        bool off = false;
        writePref(hint, off, false);
    }
    programState().gvShowTips = false;
    control<QAction>(main, "mnuTurnOnAllHints")->trigger();
    for (const QString& hint : hints) {
        bool stored = false;
        readPref(hint, stored, false);
        EXPECT_TRUE(stored) << hint.toStdString();
    }
    EXPECT_FALSE(programState().gvShowTips);
}

// A right click on the position box explains its format and opens no edit menu.
TEST_F(Menus, RightClickOnThePositionExplainsIt)
{
    frmMain& main = started();
    EXPECT_EQ(control<QLineEdit>(main, "txtCurrentPosition")->contextMenuPolicy(),
              Qt::CustomContextMenu);
    emit control<QLineEdit>(main, "txtCurrentPosition")->customContextMenuRequested(QPoint());
    ASSERT_FALSE(prompts_.messageBoxes().empty());
    EXPECT_EQ(prompts_.messageBoxes().back().text,
              QStringLiteral("Current Position of the CD is shown as tt:mm:ss, where tt is the "
                             "track number and mm:ss the time in the track in minutes and "
                             "seconds."));
}

} // namespace
} // namespace lentaro::test
