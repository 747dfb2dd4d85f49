#include "platform/cd/DigitalReader.h"
#include "platform/cd/ImageDrive.h"

#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/platform/cd/support/cd_test_support.h"
#include "tests/platform/cd/support/gated_drive.h"
#include "tests/platform/cd/support/wave_contents.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace lentaro::cd::test {
namespace {

using namespace std::chrono_literals;

// Track 1: LSN 0-300 (its last 75 frames are track 2's pregap); track 2: 301-449, starting at
// 6013 ms, rounded down from its first sample; track 3: data behind a pregap at 450.
ImageSpec discWithDataTrack()
{
    return {{{226, 0, false}, {149, 75, false}, {75, 30, true}}, {}, {}, {}};
}

// Long enough that a read is many pieces.
ImageSpec longDisc()
{
    return {{{75 * 10, 0, false}}, {}, {}, {}};
}

// What a digital reader raised.
class ReaderEvents
{
public:
    explicit ReaderEvents(DigitalReader& reader)
    {
        QObject::connect(&reader, &DigitalReader::ReadComplete, [this] { ++completions; });
        QObject::connect(&reader, &DigitalReader::Failure, [this](int code, const QString& text) {
            failures.emplace_back(code, text);
        });
    }

    int completions = 0;
    std::vector<std::pair<int, QString>> failures;
    int count() const { return completions + static_cast<int>(failures.size()); }
};

void runPendingEvents()
{
    for (int turn = 0; turn < 5; ++turn)
        QCoreApplication::processEvents();
}

class DigitalReaderTest : public ::testing::Test
{
protected:
    // A read still waiting at the gate is let through before the reader is destroyed. A read
    // that never ends (an image read through paranoia near its cut would not) fails the test;
    // its reader is left behind, so that the test ends instead of waiting for it forever.
    ~DigitalReaderTest() override
    {
        gate.open();
        if (reader && !waitUntil([&] { return !reader->reading(); })) {
            ADD_FAILURE() << "the read never ended";
            static_cast<void>(reader.release());
        }
    }

    void TearDown() override { EXPECT_FALSE(gate.forcedOpen()) << "a read was left at the gate"; }

    // One image drive, opened in a fresh reader; when gated, the drive's reads wait at the gate.
    void insert(const ImageSpec& spec, bool gated = false,
                DigitalReader::Timing timing = DigitalReader::Timing{})
    {
        cue = writeImage(folder.path(), "disc", spec);
        std::unique_ptr<Drive> drive = std::make_unique<ImageDrive>(cue);
        if (gated)
            drive = std::make_unique<GatedDrive>(std::move(drive), gate);
        std::vector<std::unique_ptr<Drive>> list;
        list.push_back(std::move(drive));
        drives = DriveList(std::move(list));
        reader = std::make_unique<DigitalReader>(drives, timing);
        events = std::make_unique<ReaderEvents>(*reader);
        ASSERT_EQ(reader->initialise(), 0);
        ASSERT_EQ(reader->openDrive(1), 0);
    }

    // Waits for the read's event and for the read to be over.
    void finish()
    {
        ASSERT_TRUE(waitUntil([&] { return events->count() > 0 && !reader->reading(); }));
    }

    TempFolder folder;
    RecordingCdLog log;
    Gate gate;
    fs::path cue;
    fs::path output = folder.path() / "out.wav";
    DriveList drives;
    std::unique_ptr<DigitalReader> reader;
    std::unique_ptr<ReaderEvents> events;
};

struct SectionCase {
    const char* name;
    int track;
    int startMs; // -1: the whole track
    int lengthMs;
    std::int64_t first; // disc sample indices the file must hold
    std::int64_t end;
};

void PrintTo(const SectionCase& example, std::ostream* out)
{
    *out << example.name;
}

class SectionTable : public DigitalReaderTest, public ::testing::WithParamInterface<SectionCase>
{};

TEST_P(SectionTable, TheFileHoldsExactlyTheSamplesAsked)
{
    const SectionCase& example = GetParam();
    insert(discWithDataTrack());
    const QString destination = QString::fromStdString(output.string());

    const int accepted =
        example.startMs < 0
            ? reader->readTrack(example.track, destination)
            : reader->readSection(example.track, destination, example.startMs, example.lengthMs);
    ASSERT_EQ(accepted, 0) << reader->lastErrorText().toStdString();
    finish();

    EXPECT_EQ(events->completions, 1);
    EXPECT_TRUE(events->failures.empty());
    const WaveContents wave = readWave(output);
    EXPECT_EQ(wave.error, 0);
    EXPECT_EQ(wave.channels, 2);
    EXPECT_EQ(wave.sampleRate, 44100.0f);
    EXPECT_EQ(wave.bytesPerSample, 2);
    EXPECT_TRUE(holdsSamples(wave.indices, example.first, example.end));
    std::ifstream file(output, std::ios::binary);
    char header[12] = {};
    file.read(header, sizeof header);
    EXPECT_EQ(std::string(header, 4), "RIFF");
    EXPECT_EQ(std::string(header + 8, 4), "WAVE");
}

INSTANTIATE_TEST_SUITE_P(
    Reads, SectionTable,
    ::testing::Values(SectionCase{"AtTheFirstTracksStart", 1, 0, 1000, 0, 44100},
                      // 6013 ms is 15 samples before the track; the section starts with it.
                      SectionCase{"AtARoundedTrackStart", 2, 0, 100, 176988, 181383},
                      SectionCase{"MidTrack", 1, 1234, 500, 54419, 76469},
                      SectionCase{"AcrossTheNextTracksPregapAndStart", 1, 2500, 2500, 110250,
                                  220500},
                      // The data track's pregap begins at sample 264600.
                      SectionCase{"PastTheLastAudioFrame", 2, 1500, 5000, 243123, 264600},
                      SectionCase{"WholeTrackWithTheNextPregap", 1, -1, 0, 0, 176988},
                      SectionCase{"WholeTrackBeforeData", 2, -1, 0, 176988, 264600}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DigitalReaderTest, RefusedReadsReturnTheirNumberRaiseNothingAndWriteNothing)
{
    insert(discWithDataTrack());
    const QString destination = QString::fromStdString(output.string());
    const QString unwritable = QString::fromStdString((folder.path() / "no" / "out.wav").string());
    const struct {
        const char* what;
        int result;
        ReaderError error;
    } refusals[] = {
        {"data track", reader->readTrack(3, destination), ReaderError::NotAudio},
        {"data track section", reader->readSection(3, destination, 0, 100), ReaderError::NotAudio},
        {"missing track", reader->readTrack(4, destination), ReaderError::NoSuchTrack},
        {"start past the audio", reader->readSection(2, destination, 5000, 100),
         ReaderError::OutsideAudio},
        {"negative start", reader->readSection(1, destination, -1, 100), ReaderError::OutsideAudio},
        {"empty section", reader->readSection(1, destination, 0, 0), ReaderError::OutsideAudio},
        {"unwritable destination", reader->readTrack(1, unwritable), ReaderError::CannotWrite},
    };
    for (const auto& refusal : refusals)
        EXPECT_EQ(refusal.result, static_cast<int>(refusal.error)) << refusal.what;
    EXPECT_FALSE(reader->lastErrorText().isEmpty());

    runPendingEvents();
    EXPECT_EQ(events->count(), 0);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(reader->reading());
}

TEST_F(DigitalReaderTest, TrackAnswersAreOnTheCdDevicesScaleForTheDiscInTheDriveNow)
{
    insert(discWithDataTrack());

    EXPECT_EQ(reader->driveCount(), 1);
    EXPECT_TRUE(reader->driveLayerInstalled());
    EXPECT_EQ(reader->trackCount(), 3);
    EXPECT_TRUE(reader->isAudioTrack(1));
    EXPECT_FALSE(reader->isAudioTrack(3));
    EXPECT_FALSE(reader->isAudioTrack(4));
    EXPECT_EQ(reader->trackStartMs(1), 2000);
    EXPECT_EQ(reader->trackStartMs(2), 6013);
    EXPECT_EQ(reader->trackLengthMs(1), 4013);
    EXPECT_EQ(reader->trackLengthMs(3), 1000);
    EXPECT_EQ(reader->trackStartMs(4), 0);

    ASSERT_EQ(reader->openTray(), 0);
    EXPECT_EQ(reader->trackCount(), 0);
    EXPECT_FALSE(reader->isAudioTrack(1));
    EXPECT_EQ(reader->readTrack(1, QString::fromStdString(output.string())),
              static_cast<int>(ReaderError::NoDisc));
    ASSERT_EQ(reader->closeTray(), 0);
    EXPECT_EQ(reader->trackCount(), 3);
}

TEST_F(DigitalReaderTest, EventsComeFromTheEventLoopAfterTheCallHasReturned)
{
    insert(discWithDataTrack());
    bool inCall = false;
    bool raisedInCall = false;
    bool raisedOnThisThread = false;
    QObject::connect(reader.get(), &DigitalReader::ReadComplete, [&] {
        raisedInCall = inCall;
        raisedOnThisThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });

    inCall = true;
    ASSERT_EQ(reader->readSection(1, QString::fromStdString(output.string()), 0, 10), 0);
    inCall = false;
    finish();

    EXPECT_EQ(events->completions, 1);
    EXPECT_FALSE(raisedInCall);
    EXPECT_TRUE(raisedOnThisThread);
}

TEST_F(DigitalReaderTest, ASecondReadIsRefusedAndTheFirstGoesOn)
{
    insert(discWithDataTrack(), true);
    ASSERT_EQ(reader->readTrack(1, QString::fromStdString(output.string())), 0);
    ASSERT_TRUE(gate.waitForArrivals(1));

    EXPECT_EQ(reader->readTrack(2, QString::fromStdString((folder.path() / "second.wav").string())),
              static_cast<int>(ReaderError::ReadRunning));
    gate.open();
    finish();

    EXPECT_EQ(events->completions, 1);
    EXPECT_TRUE(events->failures.empty());
    EXPECT_TRUE(holdsSamples(readWave(output).indices, 0, 176988));
    EXPECT_FALSE(fs::exists(folder.path() / "second.wav"));
}

TEST_F(DigitalReaderTest, AbortGivesOneFailure701AndAWholeFileOfWhatWasRead)
{
    insert(longDisc(), true);
    reader->abort(); // with nothing running: nothing happens
    ASSERT_EQ(reader->readTrack(1, QString::fromStdString(output.string())), 0);
    gate.letThrough(1);
    ASSERT_TRUE(gate.waitForArrivals(2));

    reader->abort();
    reader->abort();
    gate.open();
    finish();
    runPendingEvents();

    EXPECT_EQ(events->completions, 0);
    ASSERT_EQ(events->failures.size(), 1u);
    EXPECT_EQ(events->failures[0].first, 701);
    const WaveContents wave = readWave(output);
    EXPECT_EQ(wave.error, 0);
    EXPECT_FALSE(wave.indices.empty());
    EXPECT_LT(wave.indices.size(), 75u * 10 * 588);
    EXPECT_TRUE(holdsSamplesFrom(wave.indices, 0));
}

TEST_F(DigitalReaderTest, AbortAfterTheLastFrameWasReadStillEndsInFailure701)
{
    insert(discWithDataTrack());
    ASSERT_EQ(reader->readSection(1, QString::fromStdString(output.string()), 0, 10), 0);
    // Waits without running the event loop, which would deliver the read's end.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (readWave(output).indices.size() < 441 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(readWave(output).indices.size(), 441u);

    reader->abort();
    finish();

    EXPECT_EQ(events->completions, 0);
    ASSERT_EQ(events->failures.size(), 1u);
    EXPECT_EQ(events->failures[0].first, 701);
}

struct DiscLeaving {
    const char* name;
    void (*leave)(const fs::path& cue, Drive& drive);
    ReaderError error;
    const char* said;
};

void PrintTo(const DiscLeaving& example, std::ostream* out)
{
    *out << example.name;
}

class DiscLeavesDuringARead : public DigitalReaderTest,
                              public ::testing::WithParamInterface<DiscLeaving>
{};

TEST_P(DiscLeavesDuringARead, TheReadFailsPromptlyAndKeepsWhatItRead)
{
    insert(longDisc(), true);
    ASSERT_EQ(reader->readTrack(1, QString::fromStdString(output.string())), 0);
    gate.letThrough(1);
    ASSERT_TRUE(gate.waitForArrivals(2));

    GetParam().leave(cue, *drives.drive(1));
    gate.open();
    finish();

    EXPECT_EQ(events->completions, 0);
    ASSERT_EQ(events->failures.size(), 1u);
    EXPECT_EQ(events->failures[0].first, static_cast<int>(GetParam().error));
    EXPECT_TRUE(events->failures[0].second.contains(GetParam().said))
        << events->failures[0].second.toStdString();
    const WaveContents wave = readWave(output);
    EXPECT_EQ(wave.error, 0);
    EXPECT_FALSE(wave.indices.empty());
    EXPECT_TRUE(holdsSamplesFrom(wave.indices, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Reads, DiscLeavesDuringARead,
    ::testing::Values(DiscLeaving{"CueDeleted",
                                  [](const fs::path& cue, Drive&) { fs::remove(cue); },
                                  ReaderError::DiscRemoved, "taken out of the CD drive D:"},
                      DiscLeaving{"Ejected", [](const fs::path&, Drive& drive) { drive.eject(); },
                                  ReaderError::DiscRemoved, "taken out of the CD drive D:"},
                      // The table of contents was read before the data file lost its end.
                      DiscLeaving{"ImageTruncated",
                                  [](const fs::path& cue, Drive&) {
                                      fs::resize_file(fs::path(cue).replace_extension(".bin"),
                                                      100 * 2352);
                                  },
                                  ReaderError::Unreadable, "ends at frame 100"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DigitalReaderTest, ATruncatedImageReadsTheDataItHoldsAndNoMore)
{
    ImageSpec spec = discWithDataTrack();
    spec.keepFrames = 400;
    insert(spec);

    EXPECT_EQ(reader->trackCount(), 2);
    EXPECT_EQ(reader->readTrack(3, QString::fromStdString(output.string())),
              static_cast<int>(ReaderError::NoSuchTrack));
    ASSERT_EQ(reader->readTrack(2, QString::fromStdString(output.string())), 0);
    finish();

    EXPECT_EQ(events->completions, 1);
    EXPECT_TRUE(holdsSamples(readWave(output).indices, 176988, 400 * 588));
}

TEST_F(DigitalReaderTest, ADriveThatStopsDeliveringFailsTheReadOnce)
{
    insert(discWithDataTrack(), true, DigitalReader::Timing{50ms, 10ms});
    ASSERT_EQ(reader->readTrack(1, QString::fromStdString(output.string())), 0);
    // The watchdog runs from the event loop, which does not run until the drive stops at its
    // second piece.
    gate.letThrough(1);
    ASSERT_TRUE(gate.waitForArrivals(2));

    ASSERT_TRUE(waitUntil([&] { return events->count() > 0; }));
    ASSERT_EQ(events->failures.size(), 1u);
    EXPECT_EQ(events->failures[0].first, static_cast<int>(ReaderError::DriveStalled));
    // The file is final when the failure is raised, though the stuck read still holds its thread:
    // it holds the one piece read.
    const WaveContents atFailure = readWave(output);
    EXPECT_EQ(atFailure.error, 0);
    EXPECT_TRUE(holdsSamples(atFailure.indices, 0, 75 * 588));
    // Until the stuck read comes back, the drive is not read again.
    EXPECT_EQ(reader->readTrack(1, QString::fromStdString((folder.path() / "again.wav").string())),
              static_cast<int>(ReaderError::ReadRunning));

    // What the stuck read brings back after the failure is not added.
    gate.open();
    ASSERT_TRUE(waitUntil([&] { return !reader->reading(); }));
    runPendingEvents();
    EXPECT_EQ(events->count(), 1);
    const WaveContents wave = readWave(output);
    EXPECT_EQ(wave.error, 0);
    EXPECT_TRUE(holdsSamplesFrom(wave.indices, 0));
    EXPECT_TRUE(holdsSamples(wave.indices, 0, 75 * 588));
}

TEST_F(DigitalReaderTest, DestroyingTheReaderStopsItsReadWithoutAnEvent)
{
    insert(longDisc(), true);
    ASSERT_EQ(reader->readTrack(1, QString::fromStdString(output.string())), 0);
    ASSERT_TRUE(gate.waitForArrivals(1));

    gate.open();
    reader.reset();
    runPendingEvents();

    EXPECT_EQ(events->count(), 0);
    EXPECT_EQ(readWave(output).error, 0);
}

TEST_F(DigitalReaderTest, OpeningADriveFailsOnlyForNoSuchDriveHeldOrForbidden)
{
    insert(discWithDataTrack());

    EXPECT_EQ(reader->openDrive(0), static_cast<int>(ReaderError::NoSuchDrive));
    EXPECT_EQ(reader->openDrive(2), static_cast<int>(ReaderError::NoSuchDrive));

    const int other = ::open(cue.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(reader->openDrive(1), static_cast<int>(ReaderError::DriveHeldElsewhere));
    EXPECT_TRUE(reader->lastErrorText().contains("Another program"))
        << reader->lastErrorText().toStdString();
    EXPECT_EQ(reader->readTrack(1, QString::fromStdString(output.string())),
              static_cast<int>(ReaderError::DriveHeldElsewhere));
    ::close(other);

    fs::remove(cue);
    EXPECT_EQ(reader->openDrive(1), 0) << "an empty drive opens";
    EXPECT_EQ(reader->trackCount(), 0);
}

TEST(DigitalReader, WithoutDrivesInitialisingFailsAndNothingOpens)
{
    DriveList none;
    DigitalReader reader(none, DigitalReader::Timing{});

    EXPECT_EQ(reader.initialise(), static_cast<int>(ReaderError::NoDrives));
    EXPECT_EQ(reader.driveCount(), 0);
    EXPECT_EQ(reader.openDrive(1), static_cast<int>(ReaderError::NoSuchDrive));
    EXPECT_EQ(reader.readTrack(1, "out.wav"), static_cast<int>(ReaderError::NoDriveOpen));
    EXPECT_EQ(reader.openTray(), static_cast<int>(ReaderError::NoDriveOpen));
}

} // namespace
} // namespace lentaro::cd::test
