#include "app/programstate.h"
#include "controls/wgrid2/wGrid2.h"
#include "mainwindow/frmMain.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

constexpr int amplitude = 20480;

// The view with a grid of beats 40 pixels wide from pixel 100 (beat 1) onwards.
class WaveViewKeysTest : public WaveViewTest
{
protected:
    void SetUp() override
    {
        WaveViewTest::SetUp();
        writeClickTrain(tempWav(), {44100, 1, 2, false}, 5.0, amplitude);
        view_ = &load();
        grid().setFirstLine(100 * tppx);
        grid().setBeatWidth(40 * tppx);
        grid().show();
    }

    wGrid2& grid() { return *view_->wGrid21; }

    // The selection as the columns of its markers.
    std::pair<int, int> selected()
    {
        return {view_->selection.startMarker.pixelPosition(),
                view_->selection.endMarker.pixelPosition()};
    }
    // The columns of beat n of the grid.
    std::pair<int, int> beat(int n) { return {60 + 40 * n, 100 + 40 * n}; }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(view_, key, modifiers);
    }
    void type(char character) { QTest::keyClick(view_, character); }

    // The keys passed to the main window, leaving out the modifier keys pressed on their own.
    std::vector<std::pair<int, int>> forwardedKeys() const
    {
        std::vector<std::pair<int, int>> keys;
        for (const auto& key : host_.forwardedKeys) {
            if (key.first != Qt::Key_Shift && key.first != Qt::Key_Control
                && key.first != Qt::Key_Alt)
                keys.push_back(key);
        }
        return keys;
    }

    frmScrollTime* view_ = nullptr;
};

TEST_F(WaveViewKeysTest, ArrowsMoveAndStretchTheGridAndOtherKeysReachTheMainWindowOnce)
{
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int firstLine;
        int beatWidth;
        std::vector<std::pair<int, int>> forwarded;
        std::size_t plays;
    };
    const std::vector<Case> cases = {
        {"Ctrl+Right", Qt::Key_Right, Qt::ControlModifier, 12, 0, {}, 0},
        {"Ctrl+Shift+Right", Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier, 1, 0, {}, 0},
        {"Ctrl+Left", Qt::Key_Left, Qt::ControlModifier, -12, 0, {}, 0},
        {"Alt+Left", Qt::Key_Left, Qt::AltModifier, 0, -12, {}, 0},
        {"Alt+Shift+Right", Qt::Key_Right, Qt::AltModifier | Qt::ShiftModifier, 0, 1, {}, 0},
        {"Ctrl+Alt+Right", Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier, 12, 0, {}, 0},
        {"bare Right", Qt::Key_Right, Qt::NoModifier, 0, 0, {}, 0},
        {"F6", Qt::Key_F6, Qt::NoModifier, 0, 0, {{keyF6, 0}}, 0},
        {"F8 with Ctrl", Qt::Key_F8, Qt::ControlModifier, 0, 0, {{keyF8, 2}}, 0},
        {"F7", Qt::Key_F7, Qt::NoModifier, 0, 0, {}, 1},
        {"blank", Qt::Key_Space, Qt::NoModifier, 0, 0, {}, 1},
        {"Escape", Qt::Key_Escape, Qt::NoModifier, 0, 0, {{Qt::Key_Escape, 0}}, 0},
    };
    view_->selection.startMarker.setPixelPosition(200);
    view_->selection.endMarker.setPixelPosition(300);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::int32_t firstLine = grid().FirstLine();
        const int beatWidth = grid().BeatWidth();
        host_.forwardedKeys.clear();
        host_.plays.clear();
        press(c.key, c.modifiers);
        EXPECT_EQ(grid().FirstLine() - firstLine, c.firstLine);
        EXPECT_EQ(grid().BeatWidth() - beatWidth, c.beatWidth);
        EXPECT_EQ(forwardedKeys(), c.forwarded);
        EXPECT_EQ(host_.plays.size(), c.plays);
        EXPECT_TRUE(view_->isVisible());
        EXPECT_FALSE(programState().gvKeyForwarding);
    }

    // A key the main window passed here is not passed back.
    host_.forwardedKeys.clear();
    programState().gvKeyForwarding = true;
    press(Qt::Key_F6);
    EXPECT_TRUE(host_.forwardedKeys.empty());
}

TEST_F(WaveViewKeysTest, CharacterKeysPlayBeatsOfTheGrid)
{
    struct Step {
        char character;
        int beat; // -1: the selection stays and nothing plays
    };
    for (const Step& step : {Step{'3', 3}, Step{'n', 4}, Step{'p', 3}, Step{'1', 1}, Step{'p', 0},
                             Step{'p', 0}, Step{'N', -1}, Step{'x', -1}, Step{'9', 9}}) {
        SCOPED_TRACE(step.character);
        const auto before = selected();
        host_.plays.clear();
        type(step.character);
        if (step.beat < 0) {
            EXPECT_EQ(selected(), before);
            EXPECT_TRUE(host_.plays.empty());
            continue;
        }
        EXPECT_EQ(view_->lastBeatPlayed, step.beat);
        // Beat 0 is the lead-in from the chart's left edge to the first line.
        EXPECT_EQ(selected(), step.beat == 0 ? std::make_pair(8, 100) : beat(step.beat));
        EXPECT_EQ(host_.plays.size(), 1u);
    }

    // Past the 30th line there is no beat: nothing changes, and "p" still counts from 29.
    type('9');
    for (int i = 9; i < 29; ++i)
        type('n');
    ASSERT_EQ(view_->lastBeatPlayed, 29);
    const auto atLast = selected();
    host_.plays.clear();
    type('n');
    EXPECT_EQ(view_->lastBeatPlayed, 29);
    EXPECT_EQ(selected(), atLast);
    EXPECT_TRUE(host_.plays.empty());
}

TEST_F(WaveViewKeysTest, PlusAndMinusPlayTheNextBeatOnRelease)
{
    // Each real release plays a beat: 1..9 and no further, then back down to 1 and no further;
    // the keypad's keys as the main keyboard's, and none of them reaches the main window (whose
    // keypad keys would change the speed under the beat).
    const auto presses = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        std::vector<int> played;
        for (int i = 0; i < 11; ++i) {
            host_.plays.clear();
            QTest::keyClick(view_, key, modifiers);
            if (!host_.plays.empty())
                played.push_back(selected().first);
        }
        return played;
    };
    std::vector<int> played = presses(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(played.size(), 9u);
    EXPECT_EQ(played.front(), beat(1).first);
    EXPECT_EQ(played.back(), beat(9).first);
    played = presses(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(played.size(), 8u);
    EXPECT_EQ(played.back(), beat(1).first);
    played = presses(Qt::Key_Equal, Qt::NoModifier);
    EXPECT_EQ(played.size(), 8u);
    EXPECT_EQ(played.front(), beat(2).first);
    played = presses(Qt::Key_Minus, Qt::NoModifier);
    EXPECT_EQ(played.size(), 8u);
    EXPECT_EQ(played.back(), beat(1).first);
    for (const auto& key : forwardedKeys())
        EXPECT_TRUE(key.first != keypadPlus && key.first != keypadMinus);
    // The character keys count on their own.
    EXPECT_EQ(view_->lastBeatPlayed, 0);

    // A held key repeats press and release: only the real release plays.
    host_.plays.clear();
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Plus, Qt::NoModifier, QStringLiteral("+"), true);
    QCoreApplication::sendEvent(view_, &repeated);
    EXPECT_TRUE(host_.plays.empty());
    QKeyEvent released(QEvent::KeyRelease, Qt::Key_Plus, Qt::NoModifier, QStringLiteral("+"));
    QCoreApplication::sendEvent(view_, &released);
    EXPECT_EQ(host_.plays.size(), 1u);
}

} // namespace

} // namespace lentaro::test
