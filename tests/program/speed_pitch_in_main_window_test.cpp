#include "tests/program/loop_side_window_fixture.h"

#include "app/programstate.h"
#include "mainwindow/expansionfactor.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace lentaro::test {
namespace {

// The "SlowPlay" view's speed and pitch controls over one wave-file loop and its temp.wav;
// the fake engine plays each pass as it makes it, a new one stopping the one before.
class SpeedAndPitchInMainWindow : public LoopSideWindowWithEngineTest
{
protected:
    frmMain& main()
    {
        if (!main_) {
            readyWithEngine();
            waveWithLoops({{1000, 3000}});
            secondsWave(path(QStringLiteral("temp.wav")), 1);
            programState().gvSlowMode = true;
            programState().gvRealtime = true;
            runner_.stopThatEnds = 1;
        }
        return *main_;
    }

    // Starts from this speed and pitch as Transform shows them, with a finished pass.
    void startFrom(int percent, int pitch)
    {
        main().state().setSlowDownPercent(percent);
        main_->state().setPitchChange(pitch);
        loops_->showSpeedAndPitch();
        programState().gvSlowedFileReady = true;
        passesBefore_ = runner_.passes.size();
    }

    int passes() const { return int(runner_.passes.size() - passesBefore_); }

    static void type(QLineEdit* box, const QString& text)
    {
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    std::size_t passesBefore_ = 0;
};

// A typed speed counts from the number it starts with; text without one is no speed at all.
TEST_F(SpeedAndPitchInMainWindow, EverySpeedChangeShowsItRestartsThePassAndKeepsAtLeastFivePercent)
{
    frmMain& m = main();
    struct Case {
        const char* name;
        int from;
        std::function<void()> change;
        int percent;
        int slider;
        int passes;
    };
    QSlider* slider = control<QSlider>(m, "slSlowPct(0)");
    const auto keypad = [&](Qt::Key key) {
        return [&m, key] { QTest::keyClick(&m, key, Qt::KeypadModifier); };
    };
    const Case cases[] = {
        {"slider at 0", 60, [&] { slider->setValue(0); }, 5, 5, 1},
        {"slider at 4", 60, [&] { slider->setValue(4); }, 5, 5, 1},
        {"slider at 5", 60, [&] { slider->setValue(5); }, 5, 5, 1},
        {"slider at 130", 60, [&] { slider->setValue(130); }, 130, 130, 1},
        {"1/5 Speed", 60, [&] { control<QPushButton>(m, "lbl1005Speed")->click(); }, 20, 20, 1},
        {"1/3 Speed", 60, [&] { control<QPushButton>(m, "lbl1003Speed")->click(); }, 33, 33, 1},
        {"1/2 Speed", 60, [&] { control<QPushButton>(m, "lbl1002")->click(); }, 50, 50, 1},
        {"Original Speed", 60, [&] { control<QPushButton>(m, "lblOriginalSpeed")->click(); }, 100,
         100, 1},
        {"Double Speed", 60, [&] { control<QPushButton>(m, "lblDoubleSpeed")->click(); }, 200, 200,
         1},
        {"typed 70", 60, [&] { type(control<QLineEdit>(m, "txtSlowPct(0)"), "70"); }, 70, 70, 1},
        {"typed 72.5, a half to even", 60,
         [&] { type(control<QLineEdit>(m, "txtSlowPct(0)"), " 72.5 %"); }, 72, 72, 1},
        {"typed 250, past the slider", 60,
         [&] { type(control<QLineEdit>(m, "txtSlowPct(0)"), "250"); }, 250, 200, 1},
        {"typed 0", 60, [&] { type(control<QLineEdit>(m, "txtSlowPct(0)"), "0"); }, 5, 5, 1},
        {"typed abc leaves the speed", 60,
         [&] { type(control<QLineEdit>(m, "txtSlowPct(0)"), "abc"); }, 60, 60, 0},
        {"typed nothing leaves the speed", 60,
         [&] { type(control<QLineEdit>(m, "txtSlowPct(0)"), " "); }, 60, 60, 0},
        {"keypad plus", 60, keypad(Qt::Key_Plus), 70, 70, 1},
        {"keypad minus from 5", 5, keypad(Qt::Key_Minus), 5, 5, 1},
        {"keypad minus from 12", 12, keypad(Qt::Key_Minus), 5, 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startFrom(c.from, 0);
        c.change();
        EXPECT_EQ(m.state().slowDownPercent(), c.percent);
        EXPECT_EQ(control<QLineEdit>(m, "txtSlowPct(0)")->text(), QString::number(c.percent));
        EXPECT_EQ(slider->value(), c.slider);
        EXPECT_EQ(passes(), c.passes);
        // A change drops the finished pass; no change keeps it.
        EXPECT_EQ(programState().gvSlowedFileReady, c.passes == 0);
    }
    EXPECT_EQ(trappedError(), 0);
}

} // namespace
} // namespace lentaro::test
