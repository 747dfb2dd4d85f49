#include "tests/app/app_fixture.h"

#include "app/pause.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace lentaro::test {
namespace {

class PauseTest : public AppTest
{};

TEST_F(PauseTest, HandlesEventsWhileItWaitsTheWholeTime)
{
    int handled = 0;
    QTimer::singleShot(0, [&] { ++handled; });
    QTimer::singleShot(10, [&] { ++handled; });
    QElapsedTimer clock;
    clock.start();
    // Far longer than the later event's 10 ms: a loaded machine that holds the thread back for
    // a while between two rounds of events must not end the pause before that event is due. A
    // pause that handles only its first round of events still misses it.
    Pause(0.3f);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_EQ(handled, 2);
}

TEST_F(PauseTest, NothingToWaitHandlesNoEvents)
{
    for (const float seconds : {0.0f, -1.0f}) {
        int handled = 0;
        QTimer::singleShot(0, [&] { ++handled; });
        Pause(seconds);
        EXPECT_EQ(handled, 0);
        QCoreApplication::processEvents();
        EXPECT_EQ(handled, 1);
    }
}

} // namespace
} // namespace lentaro::test
