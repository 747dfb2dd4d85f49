#include "platform/cd/CdLog.h"
#include "platform/cd/ImageDrive.h"

#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/platform/cd/support/cd_test_support.h"
#include "tests/support/bounded_child.h"
#include "tests/support/non_regular_files.h"

#include <cdio/cdio.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lentaro::cd::test {
namespace {

// Three seconds of audio, then audio behind a one-second pregap, then data behind a pregap of its
// own. Track 2 starts at LSN 301, a start whose milliseconds are rounded down.
ImageSpec discWithDataTrack()
{
    return {{{226, 0, false}, {149, 75, false}, {75, 30, true}}, {}, {}, {}};
}

struct ExpectedTrack {
    int number;
    Lsn start;
    Lsn pregap;
    bool audio;
    std::int64_t startMs;
};

struct TocCase {
    const char* name;
    ImageSpec spec;
    bool removeBin;
    std::vector<ExpectedTrack> tracks;
    Lsn leadOut;
    std::int64_t leadOutMs;
};

void PrintTo(const TocCase& example, std::ostream* out)
{
    *out << example.name;
}

ImageSpec withFileLine(ImageSpec spec, std::string name)
{
    spec.fileLineName = std::move(name);
    return spec;
}

ImageSpec truncatedTo(ImageSpec spec, int frames)
{
    spec.keepFrames = frames;
    return spec;
}

class ImageTocTable : public ::testing::TestWithParam<TocCase>
{};

TEST_P(ImageTocTable, FramesAndMillisecondsOfTheDataPresent)
{
    const TocCase& example = GetParam();
    RecordingCdLog log;
    TempFolder folder;
    const fs::path cue = writeImage(folder.path(), "disc", example.spec);
    if (example.removeBin)
        fs::remove(folder.path() / "disc.bin");
    ImageDrive drive(cue);

    const Toc toc = drive.toc();

    EXPECT_EQ(drive.discPresent(), !example.tracks.empty());
    ASSERT_EQ(toc.tracks.size(), example.tracks.size());
    for (std::size_t index = 0; index < toc.tracks.size(); ++index) {
        const ExpectedTrack& expected = example.tracks[index];
        const TocTrack& track = toc.tracks[index];
        EXPECT_EQ(track.number, expected.number);
        EXPECT_EQ(track.start, expected.start) << "track " << expected.number;
        EXPECT_EQ(track.pregap, expected.pregap) << "track " << expected.number;
        EXPECT_EQ(track.audio, expected.audio) << "track " << expected.number;
        EXPECT_EQ(msAtLsn(track.start), expected.startMs) << "track " << expected.number;
    }
    EXPECT_EQ(toc.leadOut, example.leadOut);
    EXPECT_EQ(msAtLsn(toc.leadOut), example.leadOutMs);
}

INSTANTIATE_TEST_SUITE_P(
    Images, ImageTocTable,
    ::testing::Values(
        TocCase{"PregapAndDataTrack",
                discWithDataTrack(),
                false,
                {{1, 0, 0, true, 2000}, {2, 301, 226, true, 6013}, {3, 480, 450, false, 8400}},
                555,
                9400},
        // The cue still promises all three tracks; the data ends inside track 2.
        TocCase{"TruncatedBin",
                truncatedTo(discWithDataTrack(), 400),
                false,
                {{1, 0, 0, true, 2000}, {2, 301, 226, true, 6013}},
                400,
                7333},
        TocCase{"TruncatedInsideTrackOne",
                truncatedTo(discWithDataTrack(), 100),
                false,
                {{1, 0, 0, true, 2000}},
                100,
                3333},
        TocCase{"MissingBin", discWithDataTrack(), true, {}, 0, 2000},
        // libcdio would read disc.bin and ignore the name; the layer refuses the cue instead.
        TocCase{"FileLineNamesAnotherFile",
                withFileLine(discWithDataTrack(), "other.bin"),
                false,
                {},
                0,
                2000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageDrive, RefusedCueIsOneLogLineHoweverOftenItIsAskedAbout)
{
    RecordingCdLog log;
    TempFolder folder;
    ImageDrive drive(
        writeImage(folder.path(), "disc", withFileLine(discWithDataTrack(), "elsewhere/disc.bin")));

    for (int ask = 0; ask < 3; ++ask) {
        EXPECT_FALSE(drive.discPresent());
        EXPECT_TRUE(drive.toc().empty());
        EXPECT_EQ(drive.access().problem, DriveProblem::NoDisc);
    }

    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("elsewhere/disc.bin"), std::string::npos) << log.lines()[0];
}

TEST(ImageDrive, CueSheetsItCannotReadFaithfullyAreRefused)
{
    const struct {
        const char* extra;
        const char* named;
    } refusals[] = {
        {"  TRACK 04 MODE2/2352\n    INDEX 01 00:08:00\n", "MODE2/2352"},
        {"FILE \"disc.bin\" BINARY\n", "more than one"},
        {"    PREGAP 00:02:00\n", "PREGAP"},
    };
    for (const auto& refusal : refusals) {
        RecordingCdLog log;
        TempFolder folder;
        ImageSpec spec = discWithDataTrack();
        spec.extraCueLines = refusal.extra;
        ImageDrive drive(writeImage(folder.path(), "disc", spec));

        EXPECT_FALSE(drive.discPresent()) << refusal.named;
        ASSERT_EQ(log.lines().size(), 1u) << refusal.named;
        EXPECT_NE(log.lines()[0].find(refusal.named), std::string::npos) << log.lines()[0];
    }
}

TEST(ImageDrive, LibcdioMessagesGoToTheLogNotToStandardError)
{
    RecordingCdLog log;
    TempFolder folder;
    const fs::path cue = writeImage(folder.path(), "disc", discWithDataTrack());
    fs::remove(folder.path() / "disc.bin");
    routeLibcdioMessages();

    ::testing::internal::CaptureStderr();
    CdIo_t* image = cdio_open(cue.c_str(), DRIVER_BINCUE);
    const std::string printed = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(printed, "");
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines()[0].rfind("libcdio: ", 0), 0u) << log.lines()[0];
}

TEST(ImageDrive, EjectEmptiesTheDriveAndCloseBringsTheDiscBack)
{
    TempFolder folder;
    ImageDrive drive(writeImage(folder.path(), "disc", discWithDataTrack()));

    ASSERT_TRUE(drive.eject());
    EXPECT_TRUE(drive.trayOpen());
    EXPECT_FALSE(drive.discPresent());
    EXPECT_TRUE(drive.toc().empty());
    EXPECT_EQ(drive.openFrames().access.problem, DriveProblem::NoDisc);

    ASSERT_TRUE(drive.closeTray());
    EXPECT_FALSE(drive.trayOpen());
    EXPECT_TRUE(drive.discPresent());
    EXPECT_EQ(drive.toc().tracks.size(), 3u);
}

TEST(ImageDrive, AnExclusiveFlockOnTheCueIsADriveHeldElsewhere)
{
    TempFolder folder;
    const fs::path cue = writeImage(folder.path(), "disc", discWithDataTrack());
    ImageDrive drive(cue);
    EXPECT_FALSE(drive.heldElsewhere());

    const int other = ::open(cue.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    EXPECT_TRUE(drive.heldElsewhere());
    const DriveAccess access = drive.access();
    EXPECT_EQ(access.problem, DriveProblem::HeldElsewhere);
    // The holder is this test's own process, named from /proc/locks.
    EXPECT_NE(access.detail.find("process " + std::to_string(::getpid())), std::string::npos)
        << access.detail;
    EXPECT_EQ(drive.openFrames().access.problem, DriveProblem::HeldElsewhere);
    EXPECT_TRUE(drive.discPresent()) << "the disc is there, only not to be had";

    ::close(other);
    EXPECT_FALSE(drive.heldElsewhere());
}

// The files of the image this process has open now.
std::vector<std::string> openImageFiles(const fs::path& folder)
{
    std::vector<std::string> open;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const fs::path target = fs::read_symlink(entry.path(), error);
        if (!error && target.parent_path() == folder)
            open.push_back(target.filename().string());
    }
    return open;
}

// Whether another open file description can take an exclusive flock on the file now.
bool anotherCanLockExclusively(const fs::path& file)
{
    const int other = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    const bool locked = other >= 0 && ::flock(other, LOCK_EX | LOCK_NB) == 0;
    if (other >= 0)
        ::close(other);
    return locked;
}

TEST(ImageDrive, NothingOfTheImageStaysOpenBetweenCallsAndNothingIsEverHeldExclusively)
{
    TempFolder folder;
    const fs::path cue = writeImage(folder.path(), "disc", discWithDataTrack());
    ImageDrive drive(cue);

    drive.discPresent();
    drive.toc();
    drive.access();
    drive.heldElsewhere();
    EXPECT_TRUE(openImageFiles(folder.path()).empty());

    {
        OpenedFrames opened = drive.openFrames();
        ASSERT_NE(opened.reader, nullptr);
        EXPECT_EQ(openImageFiles(folder.path()), std::vector<std::string>{"disc.bin"});
        EXPECT_TRUE(anotherCanLockExclusively(cue));
        EXPECT_TRUE(anotherCanLockExclusively(folder.path() / "disc.bin"));
    }
    EXPECT_TRUE(openImageFiles(folder.path()).empty());
}

// A cue sheet that is a FIFO, a device, a socket or a folder is no disc, found at once: a FIFO
// opened the ordinary way would hold the drive's reader until something wrote into it.
TEST(ImageDrive, ACueSheetThatIsNoFileIsNoDisc)
{
    for (const kvtest::NonRegularCase& kind : kvtest::nonRegularCases()) {
        SCOPED_TRACE(kind.what);
        TempFolder folder;
        writeImage(folder.path(), "disc", discWithDataTrack());
        fs::remove(folder.path() / "disc.cue");
        const kvtest::NonRegularFile special(kind.kind, folder.path().string(), "disc.cue");
        ASSERT_TRUE(special.made());
        const lentaro::test::ChildEnd end = lentaro::test::runBoundedChild([&] {
            ImageDrive drive(folder.path() / "disc.cue");
            return !drive.discPresent() && drive.toc().tracks.empty() && drive.discProblem().empty()
                       ? 0
                       : 1;
        });
        EXPECT_TRUE(end.exited) << (end.outOfTime ? "it waited" : "it died");
        EXPECT_EQ(end.exitCode, 0);
    }
}

TEST(ImageFrameReader, EveryReadIsCheckedAgainstTheTableOfContents)
{
    TempFolder folder;
    ImageDrive drive(writeImage(folder.path(), "disc", truncatedTo(discWithDataTrack(), 400)));
    OpenedFrames opened = drive.openFrames();
    ASSERT_NE(opened.reader, nullptr);
    std::vector<std::uint8_t> frames(static_cast<std::size_t>(bytesPerFrame) * 10);
    const std::atomic<bool> stop{false};

    const FrameRead inside = opened.reader->read(390, 10, frames.data(), stop);
    EXPECT_EQ(inside.problem, ReadProblem::None);
    EXPECT_EQ(inside.frames, 10);
    const std::int64_t lastIndex = 399LL * samplesPerFrame + samplesPerFrame - 1;
    const std::size_t lastPair = frames.size() - 4;
    EXPECT_EQ(
        sampleIndexOf(static_cast<std::int16_t>(frames[lastPair] | frames[lastPair + 1] << 8),
                      static_cast<std::int16_t>(frames[lastPair + 2] | frames[lastPair + 3] << 8)),
        lastIndex);

    for (const Lsn past : {391, 400, 480, -1}) {
        const FrameRead refused = opened.reader->read(past, 10, frames.data(), stop);
        EXPECT_EQ(refused.problem, ReadProblem::OutsideAudio) << "from " << past;
        EXPECT_EQ(refused.frames, 0) << "from " << past;
    }
}

} // namespace
} // namespace lentaro::cd::test
