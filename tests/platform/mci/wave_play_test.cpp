#include "platform/mci/MciErrors.h"

#include "tests/platform/mci/wave_rig.h"

#include <gtest/gtest.h>

#include <functional>

namespace lentaro::mci::test {

namespace {

constexpr int stopped = static_cast<int>(Mode::Stopped);
constexpr int paused = static_cast<int>(Mode::Paused);
constexpr int cutOff = -1; // a run's end, or a position, that depends on where play was cut off

// One sequence of commands on the ramp file and what it must come to: the runs of the ramp
// heard (frames), the position and mode at the end, the error left, and the notifications.
struct Sequence {
    const char* name;
    std::function<void(WaveRig&)> commands;
    std::vector<Stretch> runs;
    int position; // ms, or cutOff for the end of the last run
    int mode;
    int error;
    std::vector<int> codes;
};

void PrintTo(const Sequence& sequence, std::ostream* out)
{
    *out << sequence.name;
}

void playTo(WaveRig& rig, int from, int to)
{
    rig.control.setFrom(from);
    rig.control.setTo(to);
    rig.send("Play");
}

const Sequence sequences[] = {
    {"play to the end",
     [](WaveRig& rig) {
         rig.send("Play");
         ASSERT_TRUE(rig.runUntilDone());
     },
     {{0, rampFrames}},
     rampMs,
     stopped,
     0,
     {1}},
    {"from and to",
     [](WaveRig& rig) {
         playTo(rig, 250, 750);
         ASSERT_TRUE(rig.runUntilDone());
     },
     {{2000, 6000}},
     750,
     stopped,
     0,
     {1}},
    {"to past the end",
     [](WaveRig& rig) { playTo(rig, 0, rampMs + 1); },
     {},
     0,
     stopped,
     errors::outOfRange,
     {}},
    {"from after to",
     [](WaveRig& rig) { playTo(rig, 700, 300); },
     {},
     0,
     stopped,
     errors::outOfRange,
     {}},
    {"from before the start",
     [](WaveRig& rig) { playTo(rig, -1, 300); },
     {},
     0,
     stopped,
     errors::outOfRange,
     {}},
    {"from equal to to",
     [](WaveRig& rig) {
         playTo(rig, 500, 500);
         ASSERT_TRUE(rig.runUntilDone());
     },
     {},
     500,
     stopped,
     0,
     {1}},
    {"superseded",
     [](WaveRig& rig) {
         playTo(rig, 0, 1000);
         rig.hear(100);
         rig.control.setFrom(1500);
         rig.send("Play");
         ASSERT_TRUE(rig.runUntilDone(2));
     },
     {{0, cutOff}, {12000, rampFrames}},
     rampMs,
     stopped,
     0,
     {2, 1}},
    {"stop",
     [](WaveRig& rig) {
         playTo(rig, 100, 1000);
         rig.hear(100);
         rig.control.setWait(true);
         rig.send("Stop");
         rig.clock->advance(std::chrono::seconds(1)); // nothing more is heard
     },
     {{800, cutOff}},
     cutOff,
     stopped,
     0,
     {4}},
    {"pause and resume",
     [](WaveRig& rig) {
         playTo(rig, 100, 1500);
         rig.hear(150);
         rig.send("Pause");
         ASSERT_EQ(rig.control.mode(), paused);
         rig.clock->advance(std::chrono::seconds(1));
         rig.control.setTo(1500);
         rig.send("Play");
         ASSERT_TRUE(rig.runUntilDone(2));
     },
     {{800, 12000}},
     1500,
     stopped,
     0,
     {2, 1}},
    {"paused",
     [](WaveRig& rig) {
         rig.send("Play");
         rig.hear(100);
         rig.send("Pause");
     },
     {{0, cutOff}},
     cutOff,
     paused,
     0,
     {}},
    {"notify false",
     [](WaveRig& rig) {
         rig.control.setNotify(false);
         playTo(rig, 0, 100);
         ASSERT_TRUE(rig.runUntilStopped());
     },
     {{0, 800}},
     100,
     stopped,
     0,
     {}},
    {"notify true",
     [](WaveRig& rig) {
         rig.control.setNotify(true);
         playTo(rig, 0, 100);
         ASSERT_TRUE(rig.runUntilDone());
         rig.control.setNotify(true);
         rig.send("Stop");
         drainEvents();
     },
     {{0, 800}},
     100,
     stopped,
     0,
     {1, 1}},
};

class WavePlay : public ::testing::TestWithParam<Sequence>
{};

TEST_P(WavePlay, HearsExactlyTheFramesAsked)
{
    const Sequence& sequence = GetParam();
    WaveRig rig;
    rig.openRamp();
    sequence.commands(rig);
    drainEvents();

    const std::vector<Stretch> runs = rig.runs();
    ASSERT_EQ(runs.size(), sequence.runs.size()) << ::testing::PrintToString(runs);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].start, sequence.runs[i].start) << "run " << i;
        if (sequence.runs[i].end != cutOff)
            EXPECT_EQ(runs[i].end, sequence.runs[i].end) << "run " << i;
        else
            EXPECT_GT(runs[i].end, runs[i].start) << "run " << i;
    }
    const int position =
        sequence.position != cutOff ? sequence.position : runs.back().end * 1000 / rampRate;
    EXPECT_EQ(rig.control.position(), position);
    EXPECT_EQ(rig.control.mode(), sequence.mode);
    EXPECT_EQ(rig.control.error(), sequence.error) << rig.control.errorMessage().toStdString();
    EXPECT_EQ(rig.dones.codes, sequence.codes);
}

INSTANTIATE_TEST_SUITE_P(Sequences, WavePlay, ::testing::ValuesIn(sequences),
                         [](const ::testing::TestParamInfo<Sequence>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace

} // namespace lentaro::mci::test
