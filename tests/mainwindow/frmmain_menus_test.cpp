#include "tests/mainwindow/main_window_fixture.h"

#include "app/frmOptions.h"
#include "app/optionstargets.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "platform/mci/MMControl.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace lentaro::test {
namespace {

using Menus = MainWindowTest;

// The live device stops reporting positions while the settings dialog is up and reports every
// 500 ms again once it is closed.
TEST_F(Menus, SettingsPausesThePositionReports)
{
    frmMain& main = started();
    mci::MMControl* device = main.state().currentMMControl;
    int whileUp = -1;
    WhenModal close([&](QWidget& modal) {
        whileUp = device->updateInterval();
        dynamic_cast<frmOptions&>(modal).close();
    });
    main.mnuSettings->trigger();
    ASSERT_TRUE(close.acted());
    EXPECT_EQ(whileUp, 0);
    EXPECT_EQ(device->updateInterval(), frmMain::liveUpdateInterval);
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
    emit main.menuFile->aboutToShow();
    EXPECT_FALSE(main.mnuSaveSlowedDownFile->isEnabled());
    emit main.menuFile->aboutToHide();

    writeFile(QStringLiteral("tempslow.wav"), QByteArray("RIFF"));
    main.mnuSaveSlowedDownFile->trigger();
    emit main.menuFile->aboutToShow();
    EXPECT_TRUE(main.mnuSaveSlowedDownFile->isEnabled());
    emit main.menuFile->aboutToHide();

    QFile::remove(slowed);
    main.mnuSaveSlowedDownFile->trigger();
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
    main.mnuTurnOnAllHints->trigger();
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
    EXPECT_EQ(main.txtCurrentPosition->contextMenuPolicy(), Qt::CustomContextMenu);
    emit main.txtCurrentPosition->customContextMenuRequested(QPoint());
    ASSERT_FALSE(prompts_.messageBoxes().empty());
    EXPECT_EQ(prompts_.messageBoxes().back().text,
              QStringLiteral("Current Position of the CD is shown as tt:mm:ss, where tt is the "
                             "track number and mm:ss the time in the track in minutes and "
                             "seconds."));
}

} // namespace
} // namespace lentaro::test
