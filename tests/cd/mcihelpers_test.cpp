#include "cd/mcihelpers.h"

#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "tests/app/app_fixture.h"
#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/platform/mci/fake_device.h"
#include "tests/platform/mci/wave_rig.h"

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

using mci::test::FakeDevice;
using mci::test::WaveRig;

class McihelpersTest : public AppTest
{};

TEST_F(McihelpersTest, SetRecordingParametersGivesTheDeviceAConsistentFormat)
{
    struct Case {
        int bits, channels, rate;
        int blockAlign, avgBytesPerSec;
    };
    const Case cases[] = {
        {16, 1, 44100, 2, 88200},  {8, 2, 22050, 2, 44100},
        {12, 1, 44100, 2, 88200}, // whole bytes: not 12 \ 8 = 1
        {24, 2, 48000, 6, 288000}, {20, 1, 8000, 3, 24000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bits, " << c.channels << " channels");
        mci::MMControl WaveControl;
        auto device = std::make_unique<FakeDevice>();
        FakeDevice& fake = *device;
        WaveControl.setDevice(std::move(device), QStringLiteral("WaveAudio"));
        EXPECT_TRUE(SetRecordingParameters(WaveControl, c.bits, c.channels, c.rate));
        ASSERT_TRUE(fake.format);
        EXPECT_EQ(fake.format->formatTag, 1);
        EXPECT_EQ(fake.format->bitsPerSample, c.bits);
        EXPECT_EQ(fake.format->channels, c.channels);
        EXPECT_EQ(fake.format->samplesPerSec, c.rate);
        EXPECT_EQ(fake.format->blockAlign, c.blockAlign);
        EXPECT_EQ(fake.format->avgBytesPerSec, c.avgBytesPerSec);
    }
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(McihelpersTest, AnOverflowGoesToTheCentralHandlerAndGivesFalse)
{
    mci::MMControl WaveControl;
    auto device = std::make_unique<FakeDevice>();
    FakeDevice& fake = *device;
    WaveControl.setDevice(std::move(device), QStringLiteral("WaveAudio"));
    EXPECT_FALSE(SetRecordingParameters(WaveControl, 16, 20000, 44100)); // block of 40000 bytes
    EXPECT_EQ(trappedError(), 6);
    EXPECT_FALSE(SetRecordingParameters(WaveControl, 16, 2, 600000000)); // byte rate past 2^31
    EXPECT_FALSE(fake.format) << "nothing reached the device";
}

TEST_F(McihelpersTest, AFormatTheDeviceCannotRecordGivesFalseAndTheOldFormatStays)
{
    WaveRig rig;
    const audio::Format mono8k{1, 8000, 16, audio::Encoding::Pcm};
    rig.card.setSource(
        std::make_shared<audio::MemorySource>(mono8k, std::vector<std::uint8_t>(16000, 0)));

    EXPECT_FALSE(SetRecordingParameters(rig.control, 16, 1, 22050)) << "no device is open";
    const QString path = rig.path("take.wav");
    rig.control.setFileName(path);
    rig.send("Open");
    EXPECT_TRUE(SetRecordingParameters(rig.control, 8, 2, 22050));
    for (int bits : {12, 32})
        EXPECT_FALSE(SetRecordingParameters(rig.control, bits, 1, 44100)) << bits << " bits";
    EXPECT_FALSE(SetRecordingParameters(rig.control, 16, 3, 44100)) << "three channels";
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_EQ(trappedError(), 0);

    rig.control.setTo(100);
    rig.send("Record");
    ASSERT_TRUE(rig.runUntilDone());
    rig.send("Save");
    const mci::test::WaveContents saved = mci::test::readWave(path.toStdString());
    EXPECT_EQ(saved.bits, 8);
    EXPECT_EQ(saved.channels, 2);
    EXPECT_EQ(saved.rate, 22050);
}

TEST_F(McihelpersTest, PackedTimesReadAsTwoDigitFields)
{
    struct Case {
        int packed;
        const char* ms;
        const char* tms;
    };
    const Case cases[] = {
        {3 | 7 << 8, "03:07", "03:07:00"},
        {123 | 5 << 8, "123:05", "123:05:00"},
        {2 | 4 << 8 | 30 << 16 | 10 << 24, "02:04", "02:04:30"},
        {1, "01:00", "01:00:00"},
        {0, "00:00", "00:00:00"},
        {static_cast<int>(0xFFFFFFFFu), "255:255", "255:255:255"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toMS(c.packed), QLatin1String(c.ms)) << c.packed;
        EXPECT_EQ(toTMS(c.packed), QLatin1String(c.tms)) << c.packed;
    }
}

TEST_F(McihelpersTest, TheNthCdDriveLetterCountsFromOne)
{
    cd::test::ImageSpec disc;
    disc.tracks = {{75, 0, false}};
    std::vector<std::unique_ptr<cd::Drive>> list;
    for (const char* name : {"first", "second"})
        list.push_back(std::make_unique<cd::ImageDrive>(
            cd::test::writeImage(home().toStdString(), name, disc)));
    cd::DriveList drives(std::move(list));
    ScopedOverride<cd::DriveList> inPlace(cd::cdDrives, drives);
    const std::pair<int, const char*> cases[] = {{1, "D"}, {2, "E"}, {3, ""}, {0, ""}, {-1, ""}};
    for (const auto& [n, letter] : cases)
        EXPECT_EQ(GetNthCdRomDriveLetter(n), QLatin1String(letter)) << n;
}

} // namespace

} // namespace lentaro::test
