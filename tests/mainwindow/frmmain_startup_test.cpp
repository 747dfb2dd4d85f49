#include "tests/mainwindow/main_window_fixture.h"

#include "app/dbversion.h"
#include "app/exitprogram.h"
#include "app/frmAbout.h"
#include "app/frmHint.h"
#include "app/passend.h"
#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

#include <thread>

namespace lentaro::test {
namespace {

using StartUp = MainWindowTest;

TEST_F(StartUp, LoadsHiddenAndDisabledThenTheFirstTickShowsTheCdViewAndEndsStartUp)
{
    programState().gvStartingUp = true;
    forms::loadForm<frmAbout>().showButtons(false);
    forms::loadForm<frmAbout>().show();

    frmMain& main = load();

    EXPECT_TRUE(sides_.hiddenDuringLoad);
    EXPECT_FALSE(sides_.enabledDuringLoad);
    EXPECT_TRUE(main.isHidden());
    EXPECT_TRUE(main.isEnabled());
    EXPECT_TRUE(control<QTimer>(main, "tmrAfterFormLoad")->isActive());
    EXPECT_EQ(control<QTimer>(main, "tmrAfterFormLoad")->interval(), 200);
    EXPECT_EQ(programState().gvGraphStep, 20);
    EXPECT_EQ(main.state().currentView(), 1);
    EXPECT_EQ(readDbVersion(), "7");
    EXPECT_TRUE(programState().gvShowTooltips);
    EXPECT_EQ(programState().gvSoundQuality, 3);
    EXPECT_EQ(programState().gvRecordingSampleRate, 0) << "the recording side was not asked";

    QString hintShown;
    WhenModal hint([&](QWidget& modal) {
        hintShown = dynamic_cast<frmHint&>(modal).lblTipText->text();
        EXPECT_FALSE(main.isHidden()) << "the hint comes after the window";
        dynamic_cast<frmHint&>(modal).cmdOK->click();
    });
    ASSERT_TRUE(runUntil([&] { return !programState().gvStartingUp; }));

    EXPECT_FALSE(main.isHidden());
    EXPECT_TRUE(main.state().cdView);
    EXPECT_EQ(main.state().currentMMControl(), control<mci::MMControl>(main, "CDControl"));
    EXPECT_EQ(control<QLabel>(main, "lblMMCtrl")->text(), "CD");
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->updateInterval(), 500);
    EXPECT_FALSE(control<QTableView>(main, "tgTracks")->isHidden());
    EXPECT_FALSE(control<QTimer>(main, "tmrAfterFormLoad")->isActive());
    EXPECT_FALSE(isLoaded("frmAbout"));
    EXPECT_TRUE(hint.acted());
    EXPECT_FALSE(hintShown.isEmpty());
    const QStringList expected{"autoplay(False)", "CDandRecordingSetup", "resetLastPass",
                               "driveCount",      "startupDriveCheck",   "checkCDPresent"};
    EXPECT_EQ(sides_.calls, expected);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();

    // For a person to look at: LENTARO_SCREENSHOTS names the folder.
    const QString screenshots = qEnvironmentVariable("LENTARO_SCREENSHOTS");
    if (!screenshots.isEmpty()) {
        EXPECT_TRUE(main.grab().save(screenshots + QStringLiteral("/mainwindow-cd-view.png")));
    }
}

TEST_F(StartUp, AnExitBeforeTheFirstTickNeverShowsTheWindowNorTheHint)
{
    programState().gvStartingUp = true;
    frmMain& main = load();
    QPointer<frmMain> window(&main);
    WhenModal hint([](QWidget& modal) { modal.close(); });

    exitProgram();
    // Long enough for the timer's first tick, had the window survived.
    QTimer later;
    later.setSingleShot(true);
    later.start(400);
    runUntil([&] { return !later.isActive(); });

    EXPECT_EQ(quits_, 1);
    EXPECT_TRUE(!window || window->isHidden());
    EXPECT_FALSE(hint.acted());
    EXPECT_TRUE(programState().gvStartingUp);
    EXPECT_EQ(sides_.calls.count("autoplay(True)"), 1);
}

TEST_F(StartUp, AnOlderSchemaIsUpgradedOnceAndANewerOneLeftAlone)
{
    struct Case {
        const char* stored; // nullptr: unset
        const char* after;
    };
    const Case cases[] = {
        {nullptr, "7"}, {"", "7"}, {"6", "7"}, {"6.9", "7"}, {"7.5", "7.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "unset");
        if (c.stored)
            storePreferenceText("dbVersion", c.stored);
        frmMain& main = load();
        EXPECT_EQ(readDbVersion(), c.after);
        delete &main;
        ASSERT_EQ(main_, nullptr);
        storePreferenceText("dbVersion", "N/A");
    }
}

// The engine runner reports the end of a pass on its worker thread; a loop's pass is handed to
// the pass timer's handler at the next turn of the event loop, with no wait.
TEST_F(StartUp, TheEndOfAPassReachesThePassTimerAtOnceOnlyForALoop)
{
    frmMain& main = load();
    struct Case {
        const char* tag;
        bool handedOver;
    };
    for (const Case& c : {Case{"LOOP", true}, Case{"STOP", false}, Case{"", false}}) {
        SCOPED_TRACE(c.tag);
        control<TaggedTimer>(main, "tmrLoopDLL")->Tag = QString::fromLatin1(c.tag);
        if (c.handedOver)
            control<TaggedTimer>(main, "tmrLoopDLL")->stop();
        else
            control<TaggedTimer>(main, "tmrLoopDLL")->start(5000);
        sides_.calls.clear();

        std::thread worker([] { handOverPassEnd(0); });
        worker.join();
        // The report reaches the window; the next turn of the event loop hands the pass over.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();

        EXPECT_FALSE(control<TaggedTimer>(main, "tmrLoopDLL")->isActive());
        EXPECT_EQ(sides_.calls.contains(QStringLiteral("tmrLoopDLL_Timer")), c.handedOver);
    }
}

} // namespace
} // namespace lentaro::test
