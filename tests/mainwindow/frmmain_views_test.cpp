#include "tests/mainwindow/main_window_fixture.h"

#include "app/enginerunner.h"
#include "app/programstate.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

namespace lentaro::test {
namespace {

class Views : public MainWindowTest
{
protected:
    // The window started, with a wave file the "Wave" view can open.
    frmMain& startedWithWaveFile()
    {
        frmMain& main = started();
        main.state().savedWaveFileName = waveFile("song.wav");
        return main;
    }
};

// Every control of the layout table against the rule it follows, for each view and layout.
TEST_F(Views, EachViewAndLayoutShowsExactlyWhatItsRulesSay)
{
    frmMain& main = startedWithWaveFile();
    for (const char* mode : {"CD", "Wave", "SlowPlay"}) {
        for (int layout = 1; layout <= 3; ++layout) {
            SCOPED_TRACE(std::string(mode) + " layout " + std::to_string(layout));
            main.state().setCurrentView(layout);
            main.changeToMode(QString::fromLatin1(mode));

            const bool S = QString::fromLatin1(mode) == "SlowPlay";
            const bool C = QString::fromLatin1(mode) == "CD";
            const bool T = layout == 1 && C && !S;
            ASSERT_EQ(programState().gvSlowMode, S);
            ASSERT_EQ(main.state().cdView, C);
            const std::pair<QWidget*, bool> shown[] = {
                {control<QLineEdit>(main, "Artist"), T},
                {control<QPushButton>(main, "cmdStartNewLoop"), !S},
                {control<QPushButton>(main, "btnLoopPlay"), !S},
                {control<QLineEdit>(main, "CDTitle"), T},
                {control<QPushButton>(main, "cmdGraphic"), S},
                {control<QPushButton>(main, "cmdPrevView"), S},
                {control<QPushButton>(main, "cmdSlowPlay"), !S},
                {control<QLineEdit>(main, "Comments"), T},
                {control<QGroupBox>(main, "fraPitchControl"), S},
                {control<QGroupBox>(main, "fraSlowdown"), S},
                {control<QLabel>(main, "lblF6"), !S},
                {control<QLabel>(main, "lblF7"), !S},
                {control<QLabel>(main, "lblArtist"), T},
                {control<QLabel>(main, "lblCDTitle"), T},
                {control<QLabel>(main, "lblF8"), !S},
                {control<QLabel>(main, "lblMMCtrl"), !S},
                {control<QLabel>(main, "lblTrackComments"), C},
                {control<QLabel>(main, "lblTrans"), S},
                {control<QLabel>(main, "lblTransformations"), S},
                {control<QTableView>(main, "loopPoints"), !S},
                {control<mci::MMControl>(main, "slowControl"), S},
                {control<QLabel>(main, "pnlCDlength"), C && !S},
                {control<QLabel>(main, "pnlTrackLength"), !S},
                {control<QTableView>(main, "tgTracks"), C && !S},
                {control<QGroupBox>(main, "fraCurrPosition"), !S},
                {main.state().currentMMControl(), !S},
            };
            for (const auto& [control, visible] : shown)
                EXPECT_EQ(!control->isHidden(), visible) << control->objectName().toStdString();
            for (QAction* item :
                 {control<QAction>(main, "mnuCDRequery"), control<QAction>(main, "mnuRecord"),
                  control<QMenu>(main, "mnuView")->menuAction(),
                  control<QAction>(main, "mnuFileOpen")})
                EXPECT_EQ(item->isEnabled(), !S) << item->objectName().toStdString();
            EXPECT_EQ(main.state().currentMMControl(),
                      C ? control<mci::MMControl>(main, "CDControl")
                        : control<mci::MMControl>(main, "WaveControl"));
            EXPECT_EQ(main.state().currentMMControl()->updateInterval(), 500);
            EXPECT_EQ(control<QLabel>(main, "lblMMCtrl")->text(), C ? "CD" : "Wave");
        }
    }
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

TEST_F(Views, AModeIsNamedInAnyLetterCaseAndAnUnknownOneOnlyParksAndRearms)
{
    frmMain& main = startedWithWaveFile();

    main.changeToMode("wAVE");
    EXPECT_FALSE(main.state().cdView);
    EXPECT_FALSE(control<QTableView>(main, "tgTracks")->isVisibleTo(&main));
    main.changeToMode("slowplay");
    EXPECT_TRUE(programState().gvSlowMode);
    main.changeToMode("cd");
    EXPECT_TRUE(main.state().cdView);

    main.changeToMode("SlowPlay");
    main.changeToMode("Tape");
    EXPECT_FALSE(programState().gvSlowMode);
    EXPECT_EQ(main.state().currentMMControl(), control<mci::MMControl>(main, "WaveControl"));
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), 500);
}

// Without a wave file the "Wave" view cannot come: the window stays as it was, live.
TEST_F(Views, AFailedSwitchToWaveKeepsThePreviousViewLive)
{
    frmMain& main = started();
    forms::setScreenMousePointer(Qt::WaitCursor);

    main.changeToMode("Wave");

    EXPECT_TRUE(main.state().cdView);
    EXPECT_FALSE(control<QTableView>(main, "tgTracks")->isHidden());
    EXPECT_EQ(main.state().currentMMControl(), control<mci::MMControl>(main, "CDControl"));
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->updateInterval(), 500);
    EXPECT_FALSE(control<mci::MMControl>(main, "CDControl")->isHidden());
    EXPECT_EQ(forms::screenMousePointer(), Qt::ArrowCursor);
}

// A capture still running when the view changes is ended and its file dropped.
TEST_F(Views, AViewChangeEndsAndDiscardsARunningCapture)
{
    frmMain& main = started();
    const QString capture = path("capture.wav");
    mci::MMControl& wave = *control<mci::MMControl>(main, "WaveControl");
    wave.setWait(true);
    wave.setCommand("Close");
    wave.setFileName(capture);
    wave.setWait(true);
    wave.setCommand("open");
    ASSERT_EQ(wave.setWaveFormat(1, 1, 44100, 88200, 2, 16), 0);
    wave.setWait(false);
    wave.setCommand("record");
    ASSERT_EQ(wave.mode(), static_cast<int>(mci::Mode::Recording))
        << wave.errorMessage().toStdString();
    programState().gvRecordingInProgress = true;

    main.changeToMode("CD");

    EXPECT_EQ(wave.mode(), static_cast<int>(mci::Mode::NotOpen));
    EXPECT_FALSE(programState().gvRecordingInProgress);
    EXPECT_FALSE(QFileInfo::exists(capture));
}

TEST_F(Views, PreviousViewReturnsToTheSavedLayoutOrWaveFileAndToCdWhenTheFileIsGone)
{
    struct Case {
        const char* what;
        bool savedCdView;
        bool fileThere;
        bool cdView;
    };
    const Case cases[] = {
        {"saved CD layout", true, true, true},
        {"saved wave file", false, true, false},
        {"wave file gone", false, false, true},
    };
    frmMain& main = started();
    const QString song = waveFile("song.wav");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        main.state().savedCdView = c.savedCdView;
        main.state().savedCurrentView = 2;
        main.state().savedWaveFileName = c.fileThere ? song : path("gone.wav");
        main.changeToMode("SlowPlay");
        sides_.calls.clear();

        control<QPushButton>(main, "cmdPrevView")->click();

        EXPECT_FALSE(programState().gvSlowMode);
        EXPECT_EQ(main.state().cdView, c.cdView);
        EXPECT_EQ(sides_.calls.value(0), "stopDLL");
        if (c.savedCdView) {
            EXPECT_EQ(main.state().currentView(), 2);
        }
    }
}

TEST_F(Views, MinimisingParksTheDevicesAndRestoringRearmsTheLiveOne)
{
    frmMain& main = started();

    main.setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->updateInterval(), 0);
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), 0);

    main.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(control<mci::MMControl>(main, "CDControl")->updateInterval(), 500);
}

// Title-bar closes and File > Exit, in each view.
TEST_F(Views, OnlyATitleBarCloseInSlowPlayKeepsTheProgramRunning)
{
    struct Case {
        const char* mode;
        bool fromTitleBar;
        bool exits;
    };
    const Case cases[] = {
        {"CD", true, true},  {"Wave", true, true},  {"SlowPlay", true, false},
        {"CD", false, true}, {"Wave", false, true}, {"SlowPlay", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + (c.fromTitleBar ? " title bar" : " File > Exit"));
        programState() = {};
        quits_ = 0;
        frmMain& main = startedWithWaveFile();
        main.state().savedCdView = true;
        main.state().savedCurrentView = 1;
        main.changeToMode(QString::fromLatin1(c.mode));
        QPointer<frmMain> window(&main);

        if (c.fromTitleBar) {
            if (main.unloadOnClose(true))
                main.close();
        } else {
            control<QAction>(main, "menuExit")->trigger();
        }
        // A closed window is deleted only once control is back in the event loop.
        ASSERT_TRUE(window);
        const int notOpen = static_cast<int>(mci::Mode::NotOpen);
        const bool devicesClosed =
            control<mci::MMControl>(main, "CDControl")->mode() == notOpen
            && control<mci::MMControl>(main, "WaveControl")->mode() == notOpen;

        EXPECT_EQ(quits_, c.exits ? 1 : 0);
        EXPECT_EQ(sides_.calls.count("autoplay(True)"), c.exits ? 1 : 0);
        if (c.exits) {
            EXPECT_TRUE(devicesClosed);
        } else {
            EXPECT_FALSE(programState().gvSlowMode);
            EXPECT_TRUE(main.state().cdView);
            delete window.data();
        }
        deleteUnloaded();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(main_, nullptr);
        sides_ = {};
    }
}

// The exit path stops a running pass before it lets go of the engine.
TEST_F(Views, FileExitStopsTheEnginePassBeforeReleasingIt)
{
    struct OrderedRunner : EngineRunner {
        std::int32_t init(const QString&) override { return 1; }
        void registerCallBack(PlayFileCallBack) override {}
        std::int32_t start(const EnginePass&) override { return 0; }
        std::int32_t stop() override
        {
            calls << "stop";
            return 1;
        }
        std::int32_t cleanUp() override
        {
            calls << "cleanUp";
            return 1;
        }
        QStringList calls;
    } runner;
    const ScopedOverride runnerInPlace(engineRunner, runner);
    frmMain& main = startedWithWaveFile();
    main.changeToMode("SlowPlay");

    control<QAction>(main, "menuExit")->trigger();

    EXPECT_EQ(quits_, 1);
    ASSERT_FALSE(runner.calls.isEmpty());
    EXPECT_EQ(runner.calls.first(), "stop");
    EXPECT_EQ(runner.calls.last(), "cleanUp");
}

} // namespace
} // namespace lentaro::test
