#include "platform/audio/FrameSource.h"
#include "platform/mci/MciErrors.h"

#include "tests/platform/mci/wave_rig.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fstream>

namespace lentaro::mci::test {

namespace {

constexpr int notOpen = static_cast<int>(Mode::NotOpen);
constexpr int stopped = static_cast<int>(Mode::Stopped);

// Gives the card's inputs a second of quiet to record, in place of the loopback of its outputs.
void feedQuiet(WaveRig& rig)
{
    const audio::Format mono8k{1, 8000, 16, audio::Encoding::Pcm};
    rig.card.setSource(
        std::make_shared<audio::MemorySource>(mono8k, std::vector<std::uint8_t>(16000, 0)));
}

void writeBytes(const QString& path, const std::string& bytes)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << bytes;
}

TEST(WaveOpen, AFileThatCannotBeReadLeavesTheDeviceClosedAndSaysWhy)
{
    struct Case {
        const char* name;
        std::string contents; // empty: a folder of that name
        const char* reason;   // part of the message
    };
    const std::string fullHeader = waveFile(1, 1, 16, std::string(800, '\x10'));
    const Case cases[] = {
        {"folder.wav", "", "folder"},
        {"half.wav", fullHeader.substr(0, 30), "header"},
        {"text.wav", std::string(200, 'x'), "not a kind of sound file"},
        {"mp3.wav", waveFile(0x55, 1, 16, std::string(800, '\x10')), "not a kind of sound file"},
        {"four.wav", waveFile(1, 4, 16, std::string(800, '\x10')), "channels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WaveRig rig;
        const QString path = rig.path(c.name);
        if (c.contents.empty())
            QDir().mkpath(path);
        else
            writeBytes(path, c.contents);
        rig.control.setFileName(path);
        rig.control.setWait(false);
        rig.send("Open");
        EXPECT_EQ(rig.control.error(), errors::invalidFile);
        EXPECT_TRUE(rig.control.errorMessage().contains(QLatin1String(c.reason)))
            << rig.control.errorMessage().toStdString();
        EXPECT_EQ(rig.control.mode(), notOpen);
        EXPECT_EQ(rig.control.length(), 0);
        rig.send("Play");
        EXPECT_EQ(rig.control.error(), errors::deviceNotReady);
        rig.clock->advance(std::chrono::seconds(1));
        drainEvents();
        EXPECT_TRUE(rig.heard().empty()) << "nothing of a half-read header is ever heard";
        EXPECT_TRUE(rig.dones.codes.empty());
    }
}

TEST(WaveOpen, AReadableFileOpensStoppedAtTheStart)
{
    WaveRig rig;
    rig.openRamp();
    EXPECT_EQ(rig.control.mode(), stopped);
    EXPECT_EQ(rig.control.position(), 0);
    EXPECT_EQ(rig.control.length(), rampMs);
    EXPECT_EQ(rig.control.tracks(), 1);
    rig.control.setTimeFormat(10);
    EXPECT_EQ(rig.control.error(), errors::badTimeFormat);
    EXPECT_EQ(rig.control.timeFormat(), 0);
}

TEST(WaveOpen, ANameWithoutAFileIsANewElementThatRecordsAndSaves)
{
    WaveRig rig;
    const QString path = rig.path("take.wav");
    std::vector<std::uint8_t> source;
    for (int frame = 0; frame < 4000; ++frame) {
        source.push_back(static_cast<std::uint8_t>(frame * 7));
        source.push_back(static_cast<std::uint8_t>(frame >> 5));
    }
    const audio::Format mono8k{1, 8000, 16, audio::Encoding::Pcm};
    rig.card.setSource(std::make_shared<audio::MemorySource>(mono8k, source));

    rig.control.setFileName(path);
    rig.control.setWait(true);
    rig.send("Open");
    EXPECT_EQ(rig.control.error(), errors::fileNotFound);
    EXPECT_TRUE(rig.control.errorMessage().contains(QLatin1String("file not found")));
    EXPECT_EQ(rig.control.mode(), stopped);
    EXPECT_EQ(rig.control.length(), 0);
    EXPECT_EQ(rig.control.error(), errors::fileNotFound) << "a length of 0 is no error";

    EXPECT_EQ(rig.control.setWaveFormat(1, 1, 8000, 16000, 2, 16), 0);
    rig.control.setWait(true);
    rig.send("Cue");
    rig.control.setTo(250);
    rig.send("Record");
    EXPECT_EQ(rig.control.error(), 0) << rig.control.errorMessage().toStdString();
    ASSERT_TRUE(rig.runUntilDone());
    EXPECT_EQ(rig.dones.codes, std::vector<int>{1});
    EXPECT_EQ(rig.control.position(), 250);
    EXPECT_EQ(rig.control.length(), 250);
    EXPECT_FALSE(QFile::exists(path)) << "nothing is written before Save";

    rig.control.setWait(true);
    rig.send("Save");
    EXPECT_EQ(rig.control.error(), 0) << rig.control.errorMessage().toStdString();
    const WaveContents saved = readWave(path.toStdString());
    EXPECT_EQ(saved.channels, 1);
    EXPECT_EQ(saved.rate, 8000);
    EXPECT_EQ(saved.bits, 16);
    ASSERT_EQ(saved.samples.size(), 2000u);
    for (std::size_t frame = 0; frame < 2000; ++frame) {
        const auto expected =
            static_cast<std::int16_t>(source[2 * frame] | source[2 * frame + 1] << 8);
        ASSERT_EQ(saved.samples[frame], expected) << "frame " << frame;
    }
    EXPECT_EQ(QDir(rig.folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"take.wav"})
        << "no temporary file is left behind";
}

TEST(WaveRecording, RecordsInTheFormatSetLastAndSixteenBitMonoByDefault)
{
    struct Case {
        const char* name;
        std::optional<WaveFormat> block;
        int channels, rate, bits;
    };
    const Case cases[] = {
        {"default", std::nullopt, 1, 44100, 16},
        {"8-bit stereo 22,050 Hz", WaveFormat{1, 2, 22050, 44100, 2, 8}, 2, 22050, 8},
        {"24-bit mono 48,000 Hz", WaveFormat{1, 1, 48000, 144000, 3, 24}, 1, 48000, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WaveRig rig;
        feedQuiet(rig);
        const QString path = rig.path("take.wav");
        rig.control.setFileName(path);
        rig.send("Open");
        if (c.block) {
            const WaveFormat& f = *c.block;
            ASSERT_EQ(rig.control.setWaveFormat(f.formatTag, f.channels, f.samplesPerSec,
                                                f.avgBytesPerSec, f.blockAlign, f.bitsPerSample),
                      0)
                << rig.control.errorMessage().toStdString();
        }
        rig.control.setTo(100);
        rig.send("Record");
        ASSERT_TRUE(rig.runUntilDone());
        rig.send("Save");
        const WaveContents saved = readWave(path.toStdString());
        EXPECT_EQ(saved.channels, c.channels);
        EXPECT_EQ(saved.rate, c.rate);
        EXPECT_EQ(saved.bits, c.bits);
        EXPECT_EQ(saved.samples.size(), static_cast<std::size_t>(c.rate / 10 * c.channels));
    }
}

TEST(WaveRecording, AFormatTheDeviceCannotRecordIsRefusedAndTheOldOneStays)
{
    WaveRig rig;
    feedQuiet(rig);
    const QString path = rig.path("take.wav");
    rig.control.setFileName(path);
    rig.send("Open");
    ASSERT_EQ(rig.control.setWaveFormat(1, 2, 22050, 88200, 4, 16), 0);
    const WaveFormat refused[] = {
        {1, 1, 44100, 88200, 2, 12},  // 12-bit
        {1, 1, 44100, 176400, 4, 32}, // 32-bit is played, never recorded
        {1, 3, 44100, 264600, 6, 16}, // three channels
        {1, 1, 44100, 44100, 1, 16},  // block align of bits \ 8
        {1, 1, 500, 1000, 2, 16},     // a rate no input takes
        {2, 1, 44100, 88200, 2, 16},  // not PCM
    };
    for (const WaveFormat& f : refused) {
        EXPECT_NE(rig.control.setWaveFormat(f.formatTag, f.channels, f.samplesPerSec,
                                            f.avgBytesPerSec, f.blockAlign, f.bitsPerSample),
                  0)
            << f.bitsPerSample << " bits, " << f.channels << " channels";
        EXPECT_NE(rig.control.error(), 0);
    }
    rig.control.setTo(100);
    rig.send("Record");
    ASSERT_TRUE(rig.runUntilDone());
    rig.send("Save");
    const WaveContents saved = readWave(path.toStdString());
    EXPECT_EQ(saved.channels, 2);
    EXPECT_EQ(saved.rate, 22050);
    EXPECT_EQ(saved.bits, 16);
}

TEST(WaveRecording, StopKeepsTheRecordingAndCloseThrowsAwayWhatWasNotSaved)
{
    WaveRig rig;
    feedQuiet(rig);
    const QString path = rig.path("take.wav");
    rig.control.setFileName(path);
    rig.send("Open");
    rig.send("Record");
    rig.clock->advance(std::chrono::milliseconds(300));
    ASSERT_TRUE(eventually([&] { return rig.control.position() > 0; }));
    rig.control.setWait(true);
    rig.send("Stop");
    drainEvents();
    EXPECT_EQ(rig.dones.codes, std::vector<int>{4});
    const int recorded = rig.control.length();
    EXPECT_GT(recorded, 0);
    EXPECT_EQ(rig.control.position(), recorded);

    rig.control.setWait(true);
    rig.send("Close");
    EXPECT_EQ(rig.control.mode(), notOpen);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(WaveSave, AFailedSaveKeepsTheOldFileWholeAndLeavesNothingBehind)
{
    WaveRig rig;
    rig.openRamp();
    const QString target = rig.path("keep.wav");
    writeRamp(target.toStdString());
    const QString readOnly = rig.path("locked.wav");
    writeRamp(readOnly.toStdString());
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    struct Case {
        const char* name;
        QString fileName;
        int error;
    };
    const Case cases[] = {
        {"no file name", QString(), errors::filenameRequired},
        {"a missing folder", rig.path("gone/keep.wav"), errors::fileNotSaved},
        {"a folder", rig.folder.path(), errors::fileNotSaved},
        {"a read-only file", readOnly, errors::fileNotSaved},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.control.setFileName(c.fileName);
        rig.send("Save");
        EXPECT_EQ(rig.control.error(), c.error);
        EXPECT_FALSE(rig.control.errorMessage().contains(QLatin1String("Success")))
            << rig.control.errorMessage().toStdString();
    }
    EXPECT_EQ(readWave(target.toStdString()).samples.size(), static_cast<std::size_t>(rampFrames));
    EXPECT_EQ(QDir(rig.folder.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"keep.wav", "locked.wav", "ramp.wav"}))
        << "nothing written, and no temporary file left";
    EXPECT_EQ(readWave(readOnly.toStdString()).samples.size(),
              static_cast<std::size_t>(rampFrames));

    rig.control.setFileName(target);
    rig.send("Save");
    EXPECT_EQ(rig.control.error(), 0) << "an opened file saves to another name as a copy";
    EXPECT_EQ(readWave(target.toStdString()).samples,
              readWave(rig.path("ramp.wav").toStdString()).samples);
}

} // namespace

} // namespace lentaro::mci::test
