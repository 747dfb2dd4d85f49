#include "platform/mci/MciErrors.h"

#include "tests/platform/mci/cd_rig.h"

#include <gtest/gtest.h>

#include <optional>

namespace lentaro::mci::test {

namespace {

// The loop's ends on the CD device's scale, early on the disc so that every sample index fits
// the left sample alone: the right one is 0, and the loopback's mono is half the left.
constexpr int inPt = 2100;
constexpr int outPt = 2900;
constexpr DiscSample firstSample = 92610 - 88200; // 2100 × 44.1 less the lead-in
constexpr DiscSample endSample = 127890 - 88200;  // 2900 × 44.1 less the lead-in
constexpr DiscSample oneBuffer = 44100 / 20;

// The low 16 bits of the disc sample a recorded mono sample stands for, to within one.
int lowBitsOf(std::int32_t mono)
{
    return (2 * mono) & 0xFFFF;
}

bool near(int a, int b)
{
    const int apart = (a - b) & 0xFFFF;
    return apart <= 1 || apart >= 0xFFFF;
}

TEST(AnalogCapture, TheWaveDeviceRecordsTheLoopTheCdPlaysAndSavesItFromTheDoneEvents)
{
    CdRig rig;
    rig.openDisc();
    const QString tempWav = rig.path("temp.wav");

    // The wave device is made ready to record temp.wav, which does not exist yet.
    rig.control.setWait(true);
    rig.send("Close");
    rig.control.setFileName(tempWav);
    rig.control.setWait(true);
    rig.send("open");
    EXPECT_EQ(rig.control.error(), errors::fileNotFound);
    ASSERT_EQ(rig.control.setWaveFormat(1, 1, 44100, 88200, 2, 16), 0);

    // The end of the CD's play stops the recording; the end of the recording saves it.
    bool saved = false;
    QObject::connect(&rig.cdControl, &MMControl::done, [&](int) {
        rig.control.setWait(true);
        rig.send("Stop");
    });
    QObject::connect(&rig.control, &MMControl::done, [&](int) {
        rig.control.setWait(true);
        rig.send("Save");
        EXPECT_EQ(rig.control.error(), 0) << rig.control.errorMessage().toStdString();
        rig.control.setWait(true);
        rig.send("Close");
        saved = true;
    });

    // The CD is placed at the in point and held.
    rig.cdControl.setFrom(inPt);
    rig.cdControl.setTo(outPt);
    rig.cdControl.setNotify(false);
    rig.cdControl.setWait(false);
    rig.sendCd("play");
    rig.cdControl.setWait(true);
    rig.sendCd("pause");
    // The wave device readies its input and records.
    rig.control.setWait(true);
    rig.control.setNotify(false);
    rig.send("cue");
    rig.control.setWait(false);
    rig.control.setNotify(true);
    rig.send("Record");
    ASSERT_EQ(rig.control.error(), 0) << rig.control.errorMessage().toStdString();
    // The CD plays the loop.
    rig.cdControl.setWait(false);
    rig.cdControl.setNotify(true);
    rig.cdControl.setFrom(inPt);
    rig.cdControl.setTo(outPt);
    rig.sendCd("play");
    rig.cdControl.setUpdateInterval(500);
    ASSERT_EQ(rig.cdControl.error(), 0) << rig.cdControl.errorMessage().toStdString();

    ASSERT_TRUE(eventually([&] {
        rig.clock->advance(std::chrono::milliseconds(20));
        return saved;
    }));
    EXPECT_EQ(rig.cdDones.codes, std::vector<int>{1});
    EXPECT_EQ(rig.dones.codes, std::vector<int>{4});
    EXPECT_EQ(rig.control.mode(), static_cast<int>(Mode::NotOpen));

    const WaveContents recording = readWave(tempWav.toStdString());
    ASSERT_EQ(recording.channels, 1);
    EXPECT_EQ(recording.rate, 44100);
    EXPECT_EQ(recording.bits, 16);
    const auto length = static_cast<DiscSample>(recording.samples.size());
    EXPECT_NEAR(length, endSample - firstSample, oneBuffer);
    ASSERT_GT(length, 0);
    // Where on the disc the recording starts (its first sample tells, to within one), and that
    // it runs on from there sample by sample.
    const auto runsOnFrom = [&](DiscSample first) {
        for (DiscSample k = 0; k < length; ++k) {
            if (!near(lowBitsOf(recording.samples[static_cast<std::size_t>(k)]),
                      static_cast<int>((first + k) & 0xFFFF)))
                return false;
        }
        return true;
    };
    std::optional<DiscSample> start;
    for (int delta = -1; delta <= 1 && !start; ++delta) {
        const int low = (lowBitsOf(recording.samples[0]) + delta) & 0xFFFF;
        const DiscSample candidate =
            firstSample + static_cast<std::int16_t>(static_cast<std::uint16_t>(low - firstSample));
        if (runsOnFrom(candidate))
            start = candidate;
    }
    ASSERT_TRUE(start) << "the recording is not one unbroken stretch of the disc";
    EXPECT_NEAR(*start, firstSample, oneBuffer);
}

} // namespace

} // namespace lentaro::mci::test
