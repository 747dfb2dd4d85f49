#include "tests/mainwindow/wave_window_fixture.h"

#include "app/programstate.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>

#include <chrono>

namespace lentaro::test {
namespace {

using namespace std::chrono_literals;

// Counts the key presses that reach one widget.
class KeyCounter : public QObject
{
public:
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            ++presses;
        return false;
    }
};

enum class Focus {
    Button,
    PositionBar,
    CDTitle,
    Artist,
    Comments,
    TracksGridEditing,
    LoopGridEditing
};

struct KeyCase {
    const char* name;
    bool cdView; // else the "Wave" view of a file
    Focus focus;
    int secondsSinceTyping;
    int key;
    Qt::KeyboardModifiers modifiers;
    bool toggled;
    bool delivered;
    bool stampMoved;
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class Keys : public WaveWindowTest, public ::testing::WithParamInterface<KeyCase>
{
protected:
    frmMain& inView(bool cdView)
    {
        frmMain& main = started();
        if (!cdView)
            openThroughMenu(main, secondsWave(path(QStringLiteral("music/song.wav")), 1));
        main.setClock([this] { return now_; });
        return main;
    }
    // The widget a key goes to; a grid is put to editing a cell of a model of its own.
    QWidget* focusOn(frmMain& main, Focus focus)
    {
        switch (focus) {
        case Focus::Button:
            return focused(control<QPushButton>(main, "btnLoopPlay"));
        case Focus::PositionBar:
            return focused(control<QScrollBar>(main, "sbTrackPos"));
        case Focus::CDTitle:
            return focused(control<QLineEdit>(main, "CDTitle"));
        case Focus::Artist:
            return focused(control<QLineEdit>(main, "Artist"));
        case Focus::Comments:
            return focused(control<QLineEdit>(main, "Comments"));
        case Focus::TracksGridEditing:
            return editing(*control<QTableView>(main, "tgTracks"));
        case Focus::LoopGridEditing:
            return editing(*control<QTableView>(main, "loopPoints"));
        }
        return nullptr;
    }
    static QWidget* focused(QWidget* widget)
    {
        widget->setFocus();
        return widget;
    }
    QWidget* editing(QTableView& grid)
    {
        grid.show();
        grid.setModel(&cells_);
        grid.edit(cells_.index(0, 0));
        return grid.window()->focusWidget();
    }
    static void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers)
    {
        const QString text = key == Qt::Key_Space                   ? QStringLiteral(" ")
                             : key >= Qt::Key_A && key <= Qt::Key_Z ? QString(QChar(key)).toLower()
                                                                    : QString();
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &event);
    }

    std::chrono::steady_clock::duration now_ = 86399s; // a second before midnight
    QStandardItemModel cells_{1, 1};
};

TEST_P(Keys, DecideBetweenTogglingAndTyping)
{
    const KeyCase& c = GetParam();
    frmMain& main = inView(c.cdView);
    main.stampTyping();
    now_ += std::chrono::seconds(c.secondsSinceTyping);
    QWidget* target = focusOn(main, c.focus);
    ASSERT_NE(target, nullptr);
    KeyCounter counter;
    target->installEventFilter(&counter);
    mci::MMControl* device = main.state().currentMMControl();
    const QString before = device->command();

    press(target, c.key, c.modifiers);

    EXPECT_EQ(device->command() != before, c.toggled);
    EXPECT_EQ(counter.presses == 1, c.delivered);
    EXPECT_EQ(main.sinceTyping() == 0s, c.stampMoved);
    if (c.focus == Focus::Button) {
        EXPECT_FALSE(control<QPushButton>(main, "btnLoopPlay")->isDown());
    }
}

constexpr auto none = Qt::NoModifier;

INSTANTIATE_TEST_SUITE_P(
    MainWindow, Keys,
    ::testing::Values(KeyCase{"SpaceOnAButtonLongAfterTyping", true, Focus::Button, 10,
                              Qt::Key_Space, none, true, false, false},
                      KeyCase{"SpaceOnAButtonSoonAfterTypingNeverPressesIt", true, Focus::Button, 5,
                              Qt::Key_Space, none, true, false, false},
                      KeyCase{"SpaceOnThePositionBarSoonAfterTypingStillReachesIt", true,
                              Focus::PositionBar, 9, Qt::Key_Space, none, true, true, false},
                      KeyCase{"SpaceOnThePositionBarLongAfterTyping", true, Focus::PositionBar, 10,
                              Qt::Key_Space, none, true, false, false},
                      KeyCase{"SpaceInTheCDTitleIsTyped", true, Focus::CDTitle, 60, Qt::Key_Space,
                              none, false, true, true},
                      KeyCase{"SpaceInTheArtistIsTyped", true, Focus::Artist, 60, Qt::Key_Space,
                              none, false, true, true},
                      KeyCase{"SpaceInTheCommentsIsTyped", true, Focus::Comments, 60, Qt::Key_Space,
                              none, false, true, true},
                      KeyCase{"SpaceInTheEditingTracksGridIsTyped", true, Focus::TracksGridEditing,
                              60, Qt::Key_Space, none, false, true, true},
                      KeyCase{"SpaceInTheEditingLoopGridIsTyped", true, Focus::LoopGridEditing, 60,
                              Qt::Key_Space, none, false, true, true},
                      KeyCase{"WaveViewSpaceInTheEditingLoopGridIsTyped", false,
                              Focus::LoopGridEditing, 60, Qt::Key_Space, none, false, true, true},
                      KeyCase{"WaveViewSpaceInTheCDTitleToggles", false, Focus::CDTitle, 60,
                              Qt::Key_Space, none, true, false, false},
                      KeyCase{"WaveViewSpaceInTheEditingTracksGridToggles", false,
                              Focus::TracksGridEditing, 60, Qt::Key_Space, none, true, false,
                              false},
                      KeyCase{"F6InTheCDTitleToggles", true, Focus::CDTitle, 60, Qt::Key_F6, none,
                              true, false, false},
                      KeyCase{"ShiftF6Toggles", true, Focus::Button, 60, Qt::Key_F6,
                              Qt::ShiftModifier, true, false, false},
                      KeyCase{"ALetterInTheCDTitlePasses", true, Focus::CDTitle, 60, Qt::Key_A,
                              none, false, true, false}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

class KeySides : public MainWindowTest
{
protected:
    frmMain& inSlowPlay()
    {
        frmMain& main = started();
        main.changeToMode(QStringLiteral("SlowPlay"));
        sides_.calls.clear();
        return main;
    }
    static int keyDown(frmMain& main, int key)
    {
        main.Form_KeyDown(key, 0);
        return key;
    }
};

// F7 and F8 reach the loop side in every view and are left to the focused control.
TEST_F(KeySides, F7AndF8PlayTheLoop)
{
    frmMain& main = started();
    EXPECT_EQ(keyDown(main, keyF7), keyF7);
    EXPECT_EQ(keyDown(main, keyF8), keyF8);
    EXPECT_EQ(sides_.calls, (QStringList{"btnLoopPlay_Click", "playFromLoopOn"}));
}

// The keypad changes the speed by 10 percent only in "SlowPlay"; the keyboard's own minus and
// plus are other keys.
TEST_F(KeySides, TheKeypadChangesTheSpeedOnlyInSlowPlay)
{
    frmMain& main = started();
    main.state().setSlowDownPercent(50);
    keyDown(main, keypadMinus);
    EXPECT_EQ(main.state().slowDownPercent(), 50);

    main.changeToMode(QStringLiteral("SlowPlay"));
    main.state().setSlowDownPercent(50);
    sides_.calls.clear();
    QKeyEvent keypadMinus(QEvent::KeyPress, Qt::Key_Minus, Qt::KeypadModifier, QStringLiteral("-"));
    QApplication::sendEvent(control<QScrollBar>(main, "sbTrackPos"), &keypadMinus);
    keyDown(main, keypadPlus);
    keyDown(main, keypadPlus);
    QKeyEvent mainMinus(QEvent::KeyPress, Qt::Key_Minus, Qt::NoModifier, QStringLiteral("-"));
    QApplication::sendEvent(control<QScrollBar>(main, "sbTrackPos"), &mainMinus);
    EXPECT_EQ(sides_.calls,
              (QStringList{"changeTransformParameters 40", "changeTransformParameters 50",
                           "changeTransformParameters 60"}));
}

// In "SlowPlay" other keys go to the open waveform view, and what it hands back is never sent
// to it again.
TEST_F(KeySides, OtherKeysGoToTheWaveformViewOnce)
{
    frmMain& main = inSlowPlay();
    EXPECT_EQ(keyDown(main, Qt::Key_A), Qt::Key_A); // the view is closed
    sides_.waveViewOpen = true;
    EXPECT_EQ(keyDown(main, Qt::Key_A), 0);
    EXPECT_EQ(sides_.calls, QStringList{QStringLiteral("waveView Form_KeyDown 65")});
    EXPECT_FALSE(programState().gvKeyForwarding);

    main.changeToMode(QStringLiteral("CD"));
    sides_.calls.clear();
    EXPECT_EQ(keyDown(main, Qt::Key_A), Qt::Key_A);
    EXPECT_TRUE(sides_.calls.filter(QStringLiteral("waveView")).isEmpty());
}

// A failing waveform view leaves forwarding off, so the next key still reaches it.
TEST_F(KeySides, AFailingWaveformViewLeavesForwardingOff)
{
    frmMain& main = inSlowPlay();
    sides_.waveViewOpen = true;
    sides_.waveViewKeyFails = true;
    keyDown(main, Qt::Key_A);
    EXPECT_FALSE(programState().gvKeyForwarding);
    sides_.waveViewKeyFails = false;
    keyDown(main, Qt::Key_B);
    EXPECT_EQ(sides_.calls.filter(QStringLiteral("waveView")),
              (QStringList{"waveView Form_KeyDown 65", "waveView Form_KeyDown 66"}));
}

// The 10-second rule counts across midnight: typing a second before it, a space 9 s later
// passes and one 10 s later is swallowed.
TEST_F(KeySides, TheTenSecondRuleRunsAcrossMidnight)
{
    frmMain& main = started();
    std::chrono::steady_clock::duration now = 86399s;
    main.setClock([&] { return now; });
    main.stampTyping();
    int space = keySpace;
    now += 9s;
    main.Form_KeyPress(space);
    EXPECT_EQ(space, keySpace);
    now += 1s;
    main.Form_KeyPress(space);
    EXPECT_EQ(space, 0);
}

} // namespace
} // namespace lentaro::test
