#include "platform/cd/CdLog.h"
#include "platform/cd/src/ParanoiaCallback.h"
#include "platform/cd/src/ParanoiaFrameReader.h"

#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/platform/cd/support/cd_test_support.h"
#include "tests/support/bounded_child.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

namespace lentaro::cd::test {
namespace {

constexpr long wordsPerFrame = 1176;

struct CallbackCase {
    const char* name;
    std::vector<std::pair<long, paranoia_cb_mode_t>> events;
    long unrecoveredSector; // -1: every sector came back whole
    int readErrors;
};

void PrintTo(const CallbackCase& example, std::ostream* out)
{
    *out << example.name;
}

class ParanoiaCallbacks : public ::testing::TestWithParam<CallbackCase>
{};

TEST_P(ParanoiaCallbacks, OnlyASkippedSectorIsAFailedRead)
{
    ParanoiaSectorReport report;
    {
        ParanoiaReportScope scope(report);
        for (const auto& [position, event] : GetParam().events)
            paranoiaCallback(position, event);
    }
    paranoiaCallback(0, PARANOIA_CB_SKIP); // after the scope: heard by no report

    EXPECT_EQ(report.unrecovered(), GetParam().unrecoveredSector >= 0);
    EXPECT_EQ(report.unrecoveredSector(), GetParam().unrecoveredSector);
    EXPECT_EQ(report.readErrors(), GetParam().readErrors);
}

INSTANTIATE_TEST_SUITE_P(
    Reads, ParanoiaCallbacks,
    ::testing::Values(
        CallbackCase{"Clean",
                     {{27 * wordsPerFrame, PARANOIA_CB_READ},
                      {0, PARANOIA_CB_VERIFY},
                      {1024, PARANOIA_CB_OVERLAP},
                      {54 * wordsPerFrame, PARANOIA_CB_READ}},
                     -1,
                     0},
        CallbackCase{"JitterFixedUp",
                     {{27 * wordsPerFrame, PARANOIA_CB_READ},
                      {30000, PARANOIA_CB_FIXUP_EDGE},
                      {30100, PARANOIA_CB_FIXUP_ATOM},
                      {30200, PARANOIA_CB_FIXUP_DROPPED},
                      {30300, PARANOIA_CB_FIXUP_DUPED},
                      {12, PARANOIA_CB_DRIFT}},
                     -1,
                     0},
        // Paranoia fills the sector with zeros, reads again and this time verifies it.
        CallbackCase{"ReadErrorRecovered",
                     {{40 * wordsPerFrame, PARANOIA_CB_READERR},
                      {54 * wordsPerFrame, PARANOIA_CB_READ},
                      {0, PARANOIA_CB_VERIFY}},
                     -1,
                     1},
        // Its retries ran out: it hands back the zeros as the sector.
        CallbackCase{"GaveUp",
                     {{42 * wordsPerFrame, PARANOIA_CB_READERR},
                      {42 * wordsPerFrame, PARANOIA_CB_READERR},
                      {1500, PARANOIA_CB_OVERLAP},
                      {42 * wordsPerFrame + 300, PARANOIA_CB_SKIP},
                      {44 * wordsPerFrame, PARANOIA_CB_SKIP}},
                     42,
                     2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParanoiaCallback, EachThreadHearsItsOwnReads)
{
    ParanoiaSectorReport reports[2];
    std::thread readers[2];
    for (int index = 0; index < 2; ++index) {
        readers[index] = std::thread([&, index] {
            ParanoiaReportScope scope(reports[index]);
            paranoiaCallback(index * wordsPerFrame,
                             index == 1 ? PARANOIA_CB_SKIP : PARANOIA_CB_READ);
        });
    }
    for (std::thread& reader : readers)
        reader.join();

    EXPECT_FALSE(reports[0].unrecovered());
    EXPECT_TRUE(reports[1].unrecovered());
    EXPECT_EQ(reports[1].unrecoveredSector(), 1);
}

// Paranoia over a disc image's handle: the same path a drive's audio takes, byte order included.
std::unique_ptr<FrameReader> paranoiaOver(const fs::path& cue)
{
    routeLibcdioMessages();
    std::string problem;
    cdrom_drive_t* drive = openCdda(cdio_open(cue.c_str(), DRIVER_BINCUE), problem);
    std::unique_ptr<FrameReader> reader = drive ? paranoiaReaderOver(
                                              drive, [] { return true; }, problem)
                                                : nullptr;
    EXPECT_NE(reader, nullptr) << problem;
    return reader;
}

std::vector<std::uint8_t> bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ParanoiaFrameReader, KeepsTheBytesInTheDrivesLittleEndianOrderWhateverTheSoundIs)
{
    RecordingCdLog log;
    TempFolder folder;
    constexpr int frames = 150;
    const fs::path cue = writeNoiseImage(folder.path(), "noise", frames, 7);
    const std::vector<std::uint8_t> expected = bytesOf(folder.path() / "noise.bin");
    const std::unique_ptr<FrameReader> reader = paranoiaOver(cue);
    ASSERT_NE(reader, nullptr);
    std::vector<std::uint8_t> read(static_cast<std::size_t>(frames) * bytesPerFrame);
    const std::atomic<bool> stop{false};

    const FrameRead result = reader->read(0, frames, read.data(), stop);

    ASSERT_EQ(result.problem, ReadProblem::None) << result.detail;
    EXPECT_EQ(result.frames, frames);
    EXPECT_TRUE(read == expected);
}

TEST(ParanoiaFrameReader, ReadsToTheSampleFromWhereverItIsAskedAndStopsBetweenSectors)
{
    RecordingCdLog log;
    TempFolder folder;
    const fs::path cue = writeImage(folder.path(), "disc", {{{300, 0, false}}, {}, {}, {}});
    const std::unique_ptr<FrameReader> reader = paranoiaOver(cue);
    ASSERT_NE(reader, nullptr);
    std::vector<std::uint8_t> frames(static_cast<std::size_t>(20) * bytesPerFrame);
    std::atomic<bool> stop{false};

    for (const Lsn from : {200, 10, 11}) {
        const FrameRead result = reader->read(from, 20, frames.data(), stop);
        ASSERT_EQ(result.problem, ReadProblem::None) << result.detail;
        for (int pair = 0; pair < 20 * samplesPerFrame; pair += 97) {
            const std::uint8_t* at = frames.data() + pair * 4;
            EXPECT_EQ(sampleIndexOf(static_cast<std::int16_t>(at[0] | at[1] << 8),
                                    static_cast<std::int16_t>(at[2] | at[3] << 8)),
                      static_cast<std::int64_t>(from) * samplesPerFrame + pair)
                << "from frame " << from;
        }
    }

    stop = true;
    const FrameRead stopped = reader->read(40, 20, frames.data(), stop);
    EXPECT_EQ(stopped.problem, ReadProblem::Stopped);
    EXPECT_EQ(stopped.frames, 0);
    EXPECT_EQ(reader->read(290, 20, frames.data(), stop).problem, ReadProblem::OutsideAudio);
}

// A scratch on the disc: every read of the drive that touches this frame fails, as a scratched
// disc's reads do once the drive's own retries have run out.
constexpr Lsn scratched = 42;
long (*readImageFrames)(cdrom_drive_t*, void*, lsn_t, long) = nullptr;

long readAroundTheScratch(cdrom_drive_t* drive, void* frames, lsn_t begin, long count)
{
    if (begin <= scratched && scratched < begin + count)
        return -1;
    return readImageFrames(drive, frames, begin, count);
}

// How a read over the scratch ended, as the exit code of the child that read.
enum ScratchedRead { FailedAtTheScratch, NoReader, NotFailed, FramesPastTheScratch, FramesChanged };

TEST(ParanoiaFrameReader, ASectorItGivesUpOnFailsTheReadInsteadOfPassingAsSilence)
{
    RecordingCdLog log;
    TempFolder folder;
    // Noise, so that paranoia finds no other frames that match in the scratch's place.
    const fs::path cue = writeNoiseImage(folder.path(), "noise", 100, 11);
    const std::vector<std::uint8_t> disc = bytesOf(folder.path() / "noise.bin");
    routeLibcdioMessages();

    // Paranoia retries and then gives up; were it to retry for ever, the child is stopped.
    const lentaro::test::ChildEnd end = lentaro::test::runBoundedChild(
        [&] {
            std::string problem;
            cdrom_drive_t* drive = openCdda(cdio_open(cue.c_str(), DRIVER_BINCUE), problem);
            if (!drive)
                return NoReader;
            readImageFrames = drive->read_audio;
            drive->read_audio = readAroundTheScratch;
            const std::unique_ptr<FrameReader> reader = paranoiaReaderOver(
                drive, [] { return true; }, problem);
            if (!reader)
                return NoReader;
            std::vector<std::uint8_t> frames(static_cast<std::size_t>(60) * bytesPerFrame);
            const std::atomic<bool> stop{false};
            const FrameRead read = reader->read(0, 60, frames.data(), stop);
            if (read.problem != ReadProblem::Unreadable)
                return NotFailed;
            if (read.frames > scratched)
                return FramesPastTheScratch;
            const auto kept = static_cast<std::ptrdiff_t>(read.frames) * bytesPerFrame;
            if (!std::equal(frames.begin(), frames.begin() + kept, disc.begin()))
                return FramesChanged;
            return FailedAtTheScratch;
        },
        std::chrono::seconds(60));

    ASSERT_TRUE(end.exited) << (end.outOfTime ? "paranoia never gave up" : "the child was killed");
    EXPECT_EQ(end.exitCode, FailedAtTheScratch);
}

} // namespace
} // namespace lentaro::cd::test
