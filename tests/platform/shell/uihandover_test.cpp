#include "platform/shell/uihandover.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace lentaro {
namespace {

// Each test makes the application object it needs, so that one can also go without.
class UiHandOverTest : public ::testing::Test
{
protected:
    void startApplication() { application.emplace(argc, argv); }
    void endApplication() { application.reset(); }

    // Runs the event loop until so much work ran; false when the deadline passed first.
    bool runUntil(const std::vector<int>& ran, std::size_t count)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (ran.size() < count) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    int argc = 1;
    char name[16] = "uihandover_test";
    char* argv[2] = {name, nullptr};
    std::optional<QCoreApplication> application;
    const std::thread::id uiThread = std::this_thread::get_id();
};

// The work the posts hand over: each records its number, if it ran on the user-interface thread.
std::function<void()> recording(std::vector<int>& ran, int number, std::thread::id uiThread)
{
    return [&ran, number, uiThread] {
        if (std::this_thread::get_id() == uiThread)
            ran.push_back(number);
    };
}

struct Poster {
    const char* name;
    void (*post)(UiHandOver& handOver, std::function<void()> work);
};

void PrintTo(const Poster& poster, std::ostream* out)
{
    *out << poster.name;
}

class UiHandOverPosting : public UiHandOverTest, public ::testing::WithParamInterface<Poster>
{};

// A worker still running while its work runs: only the hand-over orders what it wrote before
// posting before what the work reads, which ThreadSanitizer checks.
TEST_P(UiHandOverPosting, RunsWorkFromAnotherThreadOnTheUserInterfaceThreadInOrder)
{
    startApplication();
    UiHandOver handOver;
    constexpr int posts = 200;
    std::vector<int> written(posts, -1);
    std::vector<int> ran;
    std::thread worker([&] {
        for (int number = 0; number < posts; ++number) {
            written[number] = number;
            GetParam().post(handOver, [&ran, &written, number, this] {
                if (std::this_thread::get_id() == uiThread)
                    ran.push_back(written[number]);
            });
        }
    });
    const bool allRan = runUntil(ran, posts);
    worker.join();

    ASSERT_TRUE(allRan) << ran.size() << " of " << posts << " ran";
    std::vector<int> inOrder(posts);
    for (int number = 0; number < posts; ++number)
        inOrder[number] = number;
    EXPECT_EQ(ran, inOrder);
}

TEST_P(UiHandOverPosting, RunsWorkPostedOnTheUserInterfaceThreadOnlyAfterThePostReturned)
{
    startApplication();
    UiHandOver handOver;
    std::vector<int> ran;
    GetParam().post(handOver, recording(ran, 1, uiThread));
    GetParam().post(handOver, recording(ran, 2, uiThread));
    EXPECT_TRUE(ran.empty());

    ASSERT_TRUE(runUntil(ran, 2));
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

INSTANTIATE_TEST_SUITE_P(Posts, UiHandOverPosting,
                         ::testing::Values(Poster{"ThroughItsOwnHandOver",
                                                  [](UiHandOver& handOver,
                                                     std::function<void()> work) {
                                                      handOver.post(std::move(work));
                                                  }},
                                           Poster{"ProgramWide",
                                                  [](UiHandOver&, std::function<void()> work) {
                                                      UiHandOver::postProgramWide(std::move(work));
                                                  }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UiHandOverTest, WorkNotRunWhenItsHandOverEndsIsDropped)
{
    startApplication();
    std::vector<int> ran;
    {
        UiHandOver handOver;
        handOver.post(recording(ran, 1, uiThread));
    }
    // A piece of work that ends its own hand-over (its owner's slot deletes the owner).
    auto handOver = std::make_unique<UiHandOver>();
    handOver->post([&] {
        ran.push_back(2);
        handOver.reset();
    });
    handOver->post(recording(ran, 3, uiThread));

    ASSERT_TRUE(runUntil(ran, 1));
    EXPECT_EQ(ran, (std::vector<int>{2}));
    EXPECT_EQ(handOver, nullptr);
}

TEST_F(UiHandOverTest, ProgramWideWorkGoesWithTheApplicationObject)
{
    std::vector<int> ran;
    UiHandOver::postProgramWide(recording(ran, 1, uiThread)); // no application object: dropped
    startApplication();
    UiHandOver::postProgramWide(recording(ran, 2, uiThread));
    endApplication(); // before the work ran: dropped
    UiHandOver::postProgramWide(recording(ran, 3, uiThread));

    startApplication();
    UiHandOver::postProgramWide(recording(ran, 4, uiThread));
    ASSERT_TRUE(runUntil(ran, 1));
    EXPECT_EQ(ran, (std::vector<int>{4}));
}

} // namespace
} // namespace lentaro
