// The values several sides read: each setter says when the value changes, and only then.
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace lentaro::test {
namespace {

TEST(MainStateTest, EachSharedValueSignalsItsChangeOnce)
{
    mci::MMControl first;
    mci::MMControl second;
    struct Case {
        const char* value;
        std::function<void(MainState&, int)> set; // 0 and 1 stand for two values of the member
        const char* signal;
    };
    const Case cases[] = {
        {"slowDownPercent", [](MainState& s, int v) { s.setSlowDownPercent(v ? 37 : 64); },
         SIGNAL(slowDownPercentChanged(int))},
        {"pitchChange", [](MainState& s, int v) { s.setPitchChange(v ? -700 : 250); },
         SIGNAL(pitchChangeChanged(int))},
        {"currentView", [](MainState& s, int v) { s.setCurrentView(v ? 3 : 2); },
         SIGNAL(currentViewChanged(int))},
        {"currentMMControl",
         [&](MainState& s, int v) { s.setCurrentMMControl(v ? &second : &first); },
         SIGNAL(currentMMControlChanged(mci::MMControl*))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        MainState state;
        c.set(state, 0);
        QSignalSpy changes(&state, c.signal);
        ASSERT_TRUE(changes.isValid());
        c.set(state, 0);
        EXPECT_EQ(changes.count(), 0) << "the same value again is no change";
        c.set(state, 1);
        c.set(state, 1);
        EXPECT_EQ(changes.count(), 1);
    }
    MainState state;
    QSignalSpy percent(&state, &MainState::slowDownPercentChanged);
    state.setSlowDownPercent(42);
    ASSERT_EQ(percent.count(), 1);
    EXPECT_EQ(percent.at(0).at(0).toInt(), 42);
    EXPECT_EQ(state.slowDownPercent(), 42);
}

} // namespace
} // namespace lentaro::test
