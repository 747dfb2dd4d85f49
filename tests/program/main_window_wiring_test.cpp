// Every button, menu item and key of the main window, used as a person uses it in the program as
// composed, reaches its procedure.
#include "program/programsides.h"

#include "app/enginerunner.h"
#include "app/frmHint.h"
#include "app/passend.h"
#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "platform/shell/urlopener.h"
#include "tests/app/traced_calls.h"
#include "tests/app/url_recorder.h"
#include "tests/loops/fake_engine_runner.h"
#include "tests/mainwindow/wave_window_fixture.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"
#include "waveview/frmScrollTime.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

// The main window on the program's sides over a null sound card, an engine whose passes end when
// the test says, and the addresses it opens recorded.
class MainWindowWiring : public WaveWindowTest
{
protected:
    void SetUp() override
    {
        WaveWindowTest::SetUp();
        runnerInPlace_.emplace(engineRunner, runner_);
        runner_.registerCallBack(&handOverPassEnd);
        // As the engine does, a stopped pass ends.
        runner_.stopThatEnds = 1;
        urlsInPlace_.emplace(urlOpener, urls_);
    }
    void TearDown() override
    {
        urlsInPlace_.reset();
        runnerInPlace_.reset();
        WaveWindowTest::TearDown();
    }
    MainWindowSides makeSides(frmMain& main) override { return programSides(main); }

    // The pass Transform started ends, having written its slowed loop.
    void passEnds()
    {
        secondsWave(path(QStringLiteral("tempslow.wav")), 2);
        runner_.complete(0);
        EXPECT_TRUE(runUntil([this] {
            return control<mci::MMControl>(*main_, "WaveControl")->fileName()
                   == path(QStringLiteral("tempslow.wav"));
        }));
    }

    // Runs `use` with each modal window that comes up answered at once (a hint with Continue,
    // a window closed), until none is up.
    static std::function<void()> modalsClosed(std::function<void()> use)
    {
        return [use] {
            QTimer closer;
            QObject::connect(&closer, &QTimer::timeout, [] {
                QWidget* modal = QApplication::activeModalWidget();
                if (auto* hint = qobject_cast<frmHint*>(modal))
                    hint->cmdOK->click();
                else if (modal)
                    modal->close();
            });
            closer.start(0);
            use();
            EXPECT_TRUE(runUntil([] { return !QApplication::activeModalWidget(); }));
        };
    }

    FakeEngineRunner runner_;
    UrlRecorder urls_;
    std::optional<ScopedOverride<EngineRunner>> runnerInPlace_;
    std::optional<ScopedOverride<UrlOpener>> urlsInPlace_;
};

TEST_F(MainWindowWiring, EveryControlReachesItsProcedure)
{
    TracedCalls calls(home());
    const QString song = secondsWave(path(QStringLiteral("music/song.wav")), 6);
    frmMain& main = started();
    const QString in = QStringLiteral("main form : Sub ");
    const auto key = [&](Qt::Key pressed, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return modalsClosed([&main, pressed, modifiers] { press(main, pressed, modifiers); });
    };
    // The menu opened with its access key, then closed again.
    QWidget* menuOpen = nullptr;
    const auto opened = [&](Qt::Key accessKey) {
        return [&main, &menuOpen, accessKey] {
            press(main, accessKey, Qt::AltModifier);
            menuOpen = QApplication::activePopupWidget();
            if (menuOpen)
                menuOpen->close();
        };
    };
    const auto shows = [&](QMenu* menu) { return [&menuOpen, menu] { return menuOpen == menu; }; };
    // A button's access key: the button is pressed at once and let go a moment later.
    const auto mnemonic = [&](QPushButton* button, Qt::Key accessKey) {
        return modalsClosed([&main, button, accessKey] {
            press(main, accessKey, Qt::AltModifier);
            EXPECT_TRUE(runUntil([button] { return !button->isDown(); }));
        });
    };
    const auto item = [&](const QStringList& captions) {
        return modalsClosed([&main, captions] { choose(main, captions); });
    };
    const auto clicked = [&](QPushButton* button) {
        return modalsClosed([button] { click(button); });
    };
    const auto index = [&](const char* procedure, int i) {
        return in + QLatin1String(procedure) + QStringLiteral(" : (Index=%1)").arg(i);
    };
    const auto view = [] { return forms::loadedFormOf<frmScrollTime>(); };
    const auto viewShown = [&] { return view() && view()->isVisible(); };
    // Its close box, once its own showing (and activation) has settled.
    const auto hideView = [&] {
        QCoreApplication::processEvents();
        if (view())
            view()->close();
        QCoreApplication::processEvents();
    };
    const auto cdView = [&] { return main.state().cdView; };
    const auto waveView = [&] { return !main.state().cdView && !programState().gvSlowMode; };
    const auto slowPlay = [] { return programState().gvSlowMode; };
    const QStringList help{QStringLiteral("Help")};
    const QStringList internet{QStringLiteral("Internet")};
    const QStringList layouts{QStringLiteral("View"), QStringLiteral("CD View")};
    const qsizetype pagesBefore = urls_.opened.size();

    walk(
        calls,
        {
            {"Alt+F opens File", opened(Qt::Key_F), in + "menuFile_Click",
             shows(control<QMenu>(main, "menuFile"))},
            {"Alt+V opens View", opened(Qt::Key_V), in + "mnuView_Click",
             shows(control<QMenu>(main, "mnuView"))},
            {"Alt+I opens Internet", opened(Qt::Key_I), "",
             shows(control<QMenu>(main, "mnuWebMaster"))},
            {"Alt+H opens Help", opened(Qt::Key_H), "", shows(control<QMenu>(main, "menuHelp"))},
            {"Convert MP3 to Wave File", item({"File", "Convert MP3 to Wave File"}),
             in + "mnuConvertMP3_Click"},
            {"Alt+E, Settings", key(Qt::Key_E, Qt::AltModifier), in + "mnuSettings_Click"},
            {"Alt+R, Recorder", key(Qt::Key_R, Qt::AltModifier), in + "mnuRecord_Click"},
            {"F1, Help and Tutorial", key(Qt::Key_F1), in + "menuHelpChoice_Click",
             [&] {
                 return urls_.opened.mid(pagesBefore)
                        == QList<QUrl>{
                            QUrl::fromLocalFile(path(QStringLiteral("Lentaro Manual.pdf")))};
             }},
            {"Sound Quality Tips", item(help + QStringList{"Sound Quality Tips"}),
             in + "mnuSoundQualityTips_Click"},
            {"Turn on all Hints", item(help + QStringList{"Turn on all Hints"}),
             in + "mnuTurnOnAllHints_Click"},
            {"Ctrl+R, CD Requery", key(Qt::Key_R, Qt::ControlModifier), in + "checkCDPresent"},
            {"About", item(help + QStringList{"About"}), in + "menuAbout_Click"},
            {"Update Program", item(internet + QStringList{"Update Program"}),
             index("mnuWeb_Click", 0)},
            {"Visit the Burrowmere", item(internet + QStringList{"Visit the Burrowmere"}),
             index("mnuWeb_Click", 1)},
            {"Subscribe to the Free Newsletter",
             item(internet + QStringList{"Subscribe to the Free Newsletter"}),
             index("mnuWeb_Click", 2)},
            {"View Lentaro FAQ", item(internet + QStringList{"View Lentaro FAQ"}),
             index("mnuWeb_Click", 3), [&] { return urls_.opened.size() == pagesBefore + 1 + 4; }},
            {"right click on the position",
             modalsClosed([&] { rightClick(control<QLineEdit>(main, "txtCurrentPosition")); }),
             in + "txtCurrentPosition_RightClick"},
            {"Ctrl+O, Open Wave File",
             [&] {
                 prompts_.queueFile(song);
                 key(Qt::Key_O, Qt::ControlModifier)();
             },
             in + "mnuFileOpen_Click", waveView},
            {"Space", key(Qt::Key_Space), in + "togglePlayState", [&] { return main.playing(); }},
            {"F6", key(Qt::Key_F6), in + "togglePlayState", [&] { return !main.playing(); }},
            {"F7", key(Qt::Key_F7), in + "btnLoopPlay_Click"},
            {"F8", key(Qt::Key_F8), in + "playFromLoopOn"},
            {"Play Selected Loop", clicked(control<QPushButton>(main, "btnLoopPlay")),
             in + "btnLoopPlay_Click"},
            {"Alt+P, Play Selected Loop",
             mnemonic(control<QPushButton>(main, "btnLoopPlay"), Qt::Key_P),
             in + "btnLoopPlay_Click"},
            {"Start New Loop", clicked(control<QPushButton>(main, "cmdStartNewLoop")),
             in + "cmdStartNewLoop_Click"},
            {"Alt+L, Start New Loop",
             mnemonic(control<QPushButton>(main, "cmdStartNewLoop"), Qt::Key_L),
             in + "cmdStartNewLoop_Click"},
            {"Save Lyrics/Chords", item({"File", "Save Lyrics/Chords"}),
             in + "mnuSaveLyrics_Click"},
            {"Ctrl+S, Save Last Slowed-Down File", key(Qt::Key_S, Qt::ControlModifier),
             in + "mnuSaveSlowedDownFile_Click"},
            {"the recent file", modalsClosed([&] {
                 choose(main, {"File", readCaption(control<QAction>(main, "mnuMRU(1)")->text())});
             }),
             index("mnuMRU_Click", 1), waveView},
            {"Normal", item(layouts + QStringList{"Normal"}), index("mnuChooseView_Click", 1),
             cdView},
            {"Loop Detail", item(layouts + QStringList{"Loop Detail"}),
             index("mnuChooseView_Click", 2), cdView},
            {"Big Lyrics", item(layouts + QStringList{"Big Lyrics"}),
             index("mnuChooseView_Click", 3), cdView},
            {"Ctrl+W, Wave File", key(Qt::Key_W, Qt::ControlModifier), in + "mnuWaveView_Click",
             waveView},
            {"Transform",
             [&] {
                 clicked(control<QPushButton>(main, "cmdSlowPlay"))();
                 passEnds();
             },
             in + "cmdSlowPlay_Click", slowPlay},
            {"Wave View", clicked(control<QPushButton>(main, "cmdGraphic")),
             in + "cmdGraphic_Click", viewShown},
            {"Alt+W, Wave View",
             [&] {
                 hideView();
                 mnemonic(control<QPushButton>(main, "cmdGraphic"), Qt::Key_W)();
             },
             in + "cmdGraphic_Click", viewShown},
            {"Return on Wave View",
             [&] {
                 hideView();
                 QApplication::setActiveWindow(&main);
                 control<QPushButton>(main, "cmdGraphic")->setFocus();
                 key(Qt::Key_Return)();
             },
             in + "cmdGraphic_Click", viewShown},
            {"Play on the SlowPlay transport",
             [&] {
                 hideView();
                 click(control<mci::MMControl>(main, "slowControl")
                           ->bar()
                           ->button(mci::Button::Play));
             },
             in + "slowControl_PlayClick"},
            {"Stop on the SlowPlay transport", modalsClosed([&] {
                 click(control<mci::MMControl>(main, "slowControl")
                           ->bar()
                           ->button(mci::Button::Stop));
             }),
             in + "slowControl_StopClick"},
            {"keypad minus", [&] { key(Qt::Key_Minus, Qt::KeypadModifier)(); },
             in + "changeTransformParameters",
             [&] { return main.state().slowDownPercent() == 40; }},
            {"keypad plus", key(Qt::Key_Plus, Qt::KeypadModifier), in + "changeTransformParameters",
             [&] { return main.state().slowDownPercent() == 50; }},
            {"Previous View", clicked(control<QPushButton>(main, "cmdPrevView")),
             in + "cmdPrevView_Click", waveView},
            {"Alt+T, Transform",
             [&] {
                 mnemonic(control<QPushButton>(main, "cmdSlowPlay"), Qt::Key_T)();
                 passEnds();
             },
             in + "cmdSlowPlay_Click", slowPlay},
            {"Alt+P, Previous View", mnemonic(control<QPushButton>(main, "cmdPrevView"), Qt::Key_P),
             in + "cmdPrevView_Click", waveView},
            {"Exit", item({"File", "Exit"}), in + "menuExit_Click", [&] { return quits_ == 1; }},
        });
    EXPECT_EQ(calls.lastError().number, 0) << calls.lastError().description.toStdString();
}

} // namespace

} // namespace lentaro::test
