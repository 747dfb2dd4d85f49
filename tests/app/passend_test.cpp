#include "tests/app/app_fixture.h"

#include "app/passend.h"
#include "app/programstate.h"
#include "platform/forms/formregistry.h"

#include <QApplication>
#include <QCoreApplication>

#include <optional>
#include <thread>
#include <vector>

namespace lentaro::test {
namespace {

// The main window's side of the hand-over: what reached it, and on which thread.
class RecordingReceiver : public PassEndReceiver
{
public:
    void passEnded(std::int32_t result) override
    {
        results.push_back(result);
        onUserInterfaceThread = onUserInterfaceThread && std::this_thread::get_id() == uiThread;
    }

    std::vector<std::int32_t> results;
    bool onUserInterfaceThread = true;
    const std::thread::id uiThread = std::this_thread::get_id();
};

class PassEnd : public AppTest
{};

// The runner calls back on its worker thread; only the user-interface thread may act on it.
TEST_F(PassEnd, ReachesTheMainWindowOnTheUserInterfaceThreadUnlessTheProgramIsExiting)
{
    struct Case {
        const char* what;
        bool mainWindow;
        bool exiting; // set after the pass ended, before the user-interface thread got to it
        std::vector<std::int32_t> received;
    };
    const Case cases[] = {
        {"main window", true, false, {0, 12}},
        {"exiting", true, true, {}},
        {"no main window", false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        programState() = {};
        RecordingReceiver receiver;
        std::optional<ScopedOverride<PassEndReceiver>> receiverInPlace;
        if (c.mainWindow)
            receiverInPlace.emplace(passEndReceiver, receiver);

        std::thread worker([] {
            handOverPassEnd(0);
            handOverPassEnd(12);
        });
        worker.join();
        EXPECT_TRUE(receiver.results.empty()) << "nothing runs on the worker";
        programState().gvExiting = c.exiting;
        QCoreApplication::processEvents();

        EXPECT_EQ(receiver.results, c.received);
        EXPECT_TRUE(receiver.onUserInterfaceThread);
        EXPECT_TRUE(forms::loadedForms().empty()) << "no main window is made";
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    }
    EXPECT_EQ(trappedError(), 0);
}

} // namespace
} // namespace lentaro::test
