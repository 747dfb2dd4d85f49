#include "tests/program/loop_side_window_fixture.h"

#include "app/messages.h"
#include "app/pallomirunner.h"
#include "app/passend.h"
#include "app/programstate.h"
#include "platform/mci/MMControl.h"
#include "tests/engine/support/tone.h"
#include "tests/engine/support/vocoder_run.h"
#include "tests/soundfile/support/wav_files.h"
#include "tests/support/named_control.h"

#include <QFile>
#include <QTest>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace lentaro::test {
namespace {

using namespace std::chrono_literals;

constexpr double rate = kvtest::kTestRate;

// The road over the real runner and engine: the engine plays on the process's null sound card,
// twenty times faster than real time, keeping what it played; the wave control replays on the
// test's card, as far as the test moves its clock.
class SlowPlaySound : public LoopSideWindowTest
{
protected:
    void SetUp() override
    {
        LoopSideWindowTest::SetUp();
        setenv("LENTARO_AUDIO_SPEED", "20", 1);
        setenv("LENTARO_AUDIO_CAPTURE", QFile::encodeName(enginePlayed()).constData(), 1);
        runnerInPlace_.emplace(engineRunner, runner_);
        ASSERT_EQ(runner_.init(QStringLiteral(KELVOR_ENGINE_PATH)), 1);
        runner_.registerCallBack(&handOverPassEnd);
    }
    void TearDown() override
    {
        runner_.cleanUp();
        runnerInPlace_.reset();
        unsetenv("LENTARO_AUDIO_SPEED");
        unsetenv("LENTARO_AUDIO_CAPTURE");
        LoopSideWindowTest::TearDown();
    }

    QString enginePlayed() const { return path(QStringLiteral("engine played.wav")); }
    std::string tempSlow() const
    {
        return QFile::encodeName(path(QStringLiteral("tempslow.wav"))).toStdString();
    }
    // temp.wav: a second of the tone, one sine a channel.
    void writeTempWav(const std::vector<double>& frequencies)
    {
        std::vector<std::vector<std::int32_t>> channels;
        for (double frequency : frequencies)
            channels.push_back(kvtest::sineSamples(frequency, rate, 44100, 0.5));
        kvtest::writeSoundFile(QFile::encodeName(path(QStringLiteral("temp.wav"))).toStdString(),
                               channels.size() == 1 ? channels[0]
                                                    : kvtest::interleave(channels[0], channels[1]),
                               static_cast<int>(channels.size()));
    }
    // Starts a pass in "SlowPlay" and waits until its file replays.
    void slowDown(frmMain& main, int percent, int cents, bool realTime, int channel = 0)
    {
        ProgramState& program = programState();
        program.gvRealtime = realTime;
        program.gvSoundQuality = 2;
        program.gvChannelToTransform = channel;
        main.changeToMode(QStringLiteral("SlowPlay"));
        main.state().setSlowDownPercent(percent);
        main.state().setPitchChange(cents);
        QTest::keyClick(&main, Qt::Key_F7);
        EXPECT_TRUE(runUntil([] { return programState().gvSlowedFileReady; }));
    }
    // Moves the test card's clock on until the condition holds.
    bool playUntil(const std::function<bool()>& condition)
    {
        return runUntil([&] {
            if (condition())
                return true;
            clock_->advance(20ms);
            return false;
        });
    }

    PallomiRunner runner_;
    std::optional<ScopedOverride<EngineRunner>> runnerInPlace_;
};

std::vector<std::int32_t> fullScale(const std::vector<std::int16_t>& samples)
{
    std::vector<std::int32_t> wide;
    for (std::int16_t sample : samples)
        wide.push_back(static_cast<std::int32_t>(sample) * 65536);
    return wide;
}

double toneOf(const std::vector<std::int32_t>& samples)
{
    const std::vector<double> x = kvtest::toReals(samples);
    const kvtest::Middle middle = kvtest::middleOf(x);
    return kvtest::measureFrequency(x, rate, middle.from, middle.to);
}

class SlowPlaySoundModes : public SlowPlaySound, public testing::WithParamInterface<bool>
{};

// A second of 440 Hz at 70 % and two half steps down: the engine writes as much as it does for
// those factors, at 392 Hz, and the loop then repeats that file sample for sample (to its last
// whole millisecond); in real time the first pass was heard as the engine wrote it.
TEST_P(SlowPlaySoundModes, ALoopRepeatsAtTheChosenSpeedAndPitch)
{
    const bool realTime = GetParam();
    writeTempWav({440.0});
    int dones = 0;
    std::size_t heardBefore = 0;
    frmMain& main = started();
    QObject::connect(control<mci::MMControl>(main, "WaveControl"), &mci::MMControl::done, [&](int) {
        // The third end is the last: the loop stops repeating there.
        if (++dones == 2)
            programState().gvPlayState.setState(false);
    });
    heardBefore = heard().size();
    slowDown(main, 70, -200, realTime);

    const kvtest::SoundFile written = kvtest::readSoundFile(tempSlow());
    ASSERT_EQ(written.error, 0);
    kv::VocoderSettings settings;
    settings.timeFactor = 100.0 / 70;
    settings.pitchFactor = std::pow(2.0, -200.0 / 1200);
    settings.fftSize = 1024;
    EXPECT_EQ(static_cast<std::int64_t>(written.samples.size()),
              kvtest::expectedOutputLength(settings, 44100));
    const double expected = 440.0 * std::pow(2.0, -2.0 / 12);
    EXPECT_NEAR(kvtest::cents(toneOf(written.samples) / expected), 0.0, 5.0);

    const kvtest::SoundFile live =
        kvtest::readSoundFile(QFile::encodeName(enginePlayed()).toStdString());
    if (realTime) {
        ASSERT_GE(live.samples.size(), written.samples.size());
        EXPECT_TRUE(std::equal(written.samples.begin(), written.samples.end(),
                               live.samples.end() - written.samples.size()));
    } else {
        EXPECT_TRUE(live.samples.empty());
    }

    ASSERT_TRUE(playUntil([&] { return dones == 3; }));
    const std::vector<std::int16_t> all = heard();
    const std::vector<std::int32_t> replays =
        fullScale(std::vector<std::int16_t>(all.begin() + heardBefore, all.end()));
    // The wave control plays whole milliseconds: the file up to its last one, each time.
    const auto lengthMs = static_cast<std::size_t>(written.samples.size() * 1000 / 44100);
    const std::size_t once = lengthMs * 44100 / 1000;
    ASSERT_EQ(replays.size(), 3 * once);
    for (std::size_t n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(std::equal(written.samples.begin(), written.samples.begin() + once,
                               replays.begin() + n * once));
    }
}

INSTANTIATE_TEST_SUITE_P(RealTimeAndRendered, SlowPlaySoundModes, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "RealTime" : "Rendered";
                         });

// A stereo loop, 440 Hz on the first channel and 660 Hz on the second: the channel choice 0
// mixes both, 1 ("Left Channel Only") takes the first and 2 ("Right Channel Only") the second.
TEST_F(SlowPlaySound, TheChannelChoiceTakesTheChannelTheSettingsSay)
{
    struct Case {
        int channel;
        bool left;
        bool right;
    };
    writeTempWav({440.0, 660.0});
    for (const Case& c : {Case{0, true, true}, Case{1, true, false}, Case{2, false, true}}) {
        SCOPED_TRACE(c.channel);
        slowDown(started(), 100, 0, false, c.channel);
        const kvtest::SoundFile written = kvtest::readSoundFile(tempSlow());
        ASSERT_EQ(written.error, 0);
        EXPECT_EQ(written.channels, 1);
        const std::vector<double> x = kvtest::toReals(written.samples);
        const kvtest::Middle middle = kvtest::middleOf(x);
        const double left = kvtest::fitSine(x, rate, 440.0, middle.from, middle.to).amplitude;
        const double right = kvtest::fitSine(x, rate, 660.0, middle.from, middle.to).amplitude;
        EXPECT_EQ(left > 0.1, c.left) << left;
        EXPECT_EQ(right > 0.1, c.right) << right;
        EXPECT_LT(c.left ? 0.0 : left, 0.01);
        EXPECT_LT(c.right ? 0.0 : right, 0.01);
        delete main_;
        ASSERT_TRUE(runUntil([this] { return main_ == nullptr; }));
    }
}

} // namespace
} // namespace lentaro::test
