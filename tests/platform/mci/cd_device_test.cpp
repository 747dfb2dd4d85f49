#include "platform/mci/MciErrors.h"

#include "tests/platform/mci/cd_rig.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lentaro::mci::test {

namespace {

constexpr int ms = 0;
constexpr int msf = 2;
constexpr int tmsf = 10;
constexpr int notOpen = static_cast<int>(Mode::NotOpen);
constexpr int stopped = static_cast<int>(Mode::Stopped);

constexpr int packedMsf(int m, int s, int f)
{
    return m | s << 8 | f << 16;
}
constexpr int packedTmsf(int t, int m, int s, int f)
{
    return t | m << 8 | s << 16 | f << 24;
}
constexpr DiscSample at(int lsn, int pair = 0)
{
    return static_cast<DiscSample>(lsn) * 588 + pair;
}

// Runs of consecutive disc samples heard, silence as runs of -1.
struct Heard {
    DiscSample first; // -1 for silence
    std::size_t count;
    friend bool operator==(const Heard& a, const Heard& b)
    {
        return a.first == b.first && a.count == b.count;
    }
    friend std::ostream& operator<<(std::ostream& out, const Heard& h)
    {
        return out << "{" << h.first << " x" << h.count << "}";
    }
};

std::vector<Heard> heardRuns(const CdRig& rig)
{
    std::vector<Heard> runs;
    for (DiscSample index : rig.heardIndexes()) {
        if (!runs.empty()) {
            Heard& last = runs.back();
            const DiscSample expected = last.first < 0 ? -1 : last.first + DiscSample(last.count);
            if ((index < 0 && last.first < 0) || (index >= 0 && index == expected)) {
                ++last.count;
                continue;
            }
        }
        runs.push_back({index, 1});
    }
    return runs;
}

TEST(CdDevice, LengthsAndStartsComeInEachFormat)
{
    struct Case {
        int format;
        int length;
        int trackLength[3];
        int trackPosition[3];
    };
    // Track 1 runs over track 2's pregap; lengths come as MSF in formats 2 and 10.
    const Case cases[] = {
        {ms, 8000, {5000, 2000, 1000}, {2000, 7000, 9000}},
        {msf,
         packedMsf(0, 8, 0),
         {packedMsf(0, 5, 0), packedMsf(0, 2, 0), packedMsf(0, 1, 0)},
         {packedMsf(0, 2, 0), packedMsf(0, 7, 0), packedMsf(0, 9, 0)}},
        {tmsf,
         packedMsf(0, 8, 0),
         {packedMsf(0, 5, 0), packedMsf(0, 2, 0), packedMsf(0, 1, 0)},
         {1, 2, 3}},
    };
    CdRig rig;
    rig.openDisc();
    EXPECT_EQ(rig.cdControl.tracks(), 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        rig.cdControl.setTimeFormat(c.format);
        EXPECT_EQ(rig.cdControl.length(), c.length);
        for (int track = 1; track <= 3; ++track) {
            rig.cdControl.setTrack(track);
            EXPECT_EQ(rig.cdControl.trackLength(), c.trackLength[track - 1]) << "track " << track;
            EXPECT_EQ(rig.cdControl.trackPosition(), c.trackPosition[track - 1])
                << "track " << track;
        }
        EXPECT_EQ(rig.cdControl.error(), 0) << rig.cdControl.errorMessage().toStdString();
    }
    rig.cdControl.setTrack(4);
    EXPECT_EQ(rig.cdControl.error(), errors::outOfRange);
    EXPECT_EQ(rig.cdControl.trackLength(), 0);
}

TEST(CdDevice, PositionsAcrossAPregapCountToTheTrackBefore)
{
    struct Case {
        int ms;
        int msf;
        int tmsf;
    };
    const Case cases[] = {
        {2000, packedMsf(0, 2, 0), packedTmsf(1, 0, 0, 0)},
        {6000, packedMsf(0, 6, 0), packedTmsf(1, 0, 4, 0)},   // LSN 300: track 2's pregap
        {6960, packedMsf(0, 6, 72), packedTmsf(1, 0, 4, 72)}, // LSN 372
        {7000, packedMsf(0, 7, 0), packedTmsf(2, 0, 0, 0)},   // LSN 375: INDEX 01
        {7040, packedMsf(0, 7, 3), packedTmsf(2, 0, 0, 3)},   // LSN 378
        {10000, packedMsf(0, 10, 0), packedTmsf(3, 0, 1, 0)}, // the lead-out
    };
    CdRig rig;
    rig.openDisc();
    rig.cdControl.setTimeFormat(tmsf);
    EXPECT_EQ(rig.cdControl.position(), 1) << "stopped at the start, track 1 at 00:00:00";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        rig.cdControl.setTimeFormat(ms);
        rig.cdControl.setTo(c.ms);
        rig.sendCd("Seek");
        ASSERT_EQ(rig.cdControl.error(), 0) << rig.cdControl.errorMessage().toStdString();
        EXPECT_EQ(rig.cdControl.position(), c.ms);
        rig.cdControl.setTimeFormat(msf);
        EXPECT_EQ(rig.cdControl.position(), c.msf);
        rig.cdControl.setTimeFormat(tmsf);
        EXPECT_EQ(rig.cdControl.position(), c.tmsf);
    }
}

TEST(CdDevice, PlaysTheDiscSampleExactAndDataAsSilence)
{
    struct Case {
        const char* name;
        int fromFormat;
        int from;
        int toFormat;
        std::optional<int> to;
        std::vector<Heard> heard;
        int endTmsf;
    };
    const Case cases[] = {
        {"a track in TMSF",
         tmsf,
         packedTmsf(2, 0, 0, 0),
         tmsf,
         packedTmsf(2, 0, 1, 0),
         {{at(375), 75 * 588}},
         packedTmsf(2, 0, 1, 0)},
        {"milliseconds inside frames",
         ms,
         2101,
         ms,
         2203,
         {{92655 - 88200, 4498}},
         packedTmsf(1, 0, 0, 15)},
        {"on over the pregap into track 2",
         ms,
         6960,
         ms,
         7040,
         {{at(372), 6 * 588}},
         packedTmsf(2, 0, 0, 3)},
        {"into the data track",
         ms,
         6960,
         ms,
         std::nullopt,
         {{at(372), 153 * 588}, {-1, 75 * 588}},
         packedTmsf(3, 0, 1, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CdRig rig;
        rig.openDisc();
        rig.cdControl.setTimeFormat(c.fromFormat);
        rig.cdControl.setFrom(c.from);
        rig.cdControl.setTimeFormat(c.toFormat);
        if (c.to)
            rig.cdControl.setTo(*c.to);
        rig.sendCd("Play");
        ASSERT_EQ(rig.cdControl.error(), 0) << rig.cdControl.errorMessage().toStdString();
        ASSERT_TRUE(eventually([&] {
            rig.clock->advance(std::chrono::milliseconds(20));
            return !rig.cdDones.codes.empty();
        }));
        EXPECT_EQ(rig.cdDones.codes, std::vector<int>{1});
        EXPECT_EQ(heardRuns(rig), c.heard);
        rig.cdControl.setTimeFormat(tmsf);
        EXPECT_EQ(rig.cdControl.position(), c.endTmsf);
        EXPECT_EQ(rig.sink->format()->sampleRate, 44100);
        EXPECT_EQ(rig.sink->format()->channels, 2);
    }
}

TEST(CdDevice, APlayOutsideTheDiscChangesNothing)
{
    CdRig rig;
    rig.openDisc();
    const struct {
        int from;
        int to;
    } cases[] = {{0, 3000}, {1999, 3000}, {3000, 10001}, {5000, 4000}};
    for (const auto& c : cases) {
        rig.cdControl.setFrom(c.from);
        rig.cdControl.setTo(c.to);
        rig.cdControl.setNotify(true);
        rig.sendCd("Play");
        EXPECT_EQ(rig.cdControl.error(), errors::outOfRange) << c.from << " to " << c.to;
        EXPECT_EQ(rig.cdControl.mode(), stopped);
    }
    drainEvents();
    EXPECT_TRUE(rig.cdDones.codes.empty());
    EXPECT_TRUE(rig.heard().empty());
}

TEST(CdDevice, PrevAndNextGoToTrackStartsAndEjectAlternatesTheTray)
{
    CdRig rig;
    rig.openDisc();
    rig.cdControl.setTimeFormat(tmsf);
    rig.cdControl.setTo(packedTmsf(2, 0, 1, 10));
    rig.sendCd("Seek");
    rig.sendCd("Prev");
    EXPECT_EQ(rig.cdControl.position(), packedTmsf(2, 0, 0, 0));
    rig.sendCd("Next");
    EXPECT_EQ(rig.cdControl.position(), packedTmsf(3, 0, 0, 0));
    rig.sendCd("Next");
    EXPECT_EQ(rig.cdControl.position(), packedTmsf(3, 0, 0, 0)) << "the last track stays";

    rig.sendCd("Play");
    rig.sendCd("Eject");
    drainEvents();
    EXPECT_EQ(rig.cdDones.codes, std::vector<int>{4}) << "the play was ended";
    EXPECT_EQ(rig.cdControl.mode(), notOpen);
    EXPECT_EQ(rig.cdControl.tracks(), 0);
    EXPECT_EQ(rig.cdControl.length(), 0);
    EXPECT_EQ(rig.cdControl.error(), errors::deviceNotReady);
    rig.sendCd("Eject");
    EXPECT_EQ(rig.cdControl.mode(), stopped);
    EXPECT_EQ(rig.cdControl.tracks(), 3);
}

// The descriptors this process holds open on a file.
int openHandlesOn(const std::filesystem::path& file)
{
    int count = 0;
    const std::filesystem::path wanted = std::filesystem::canonical(file);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && target == wanted)
            ++count;
    }
    return count;
}

TEST(CdDevice, HoldsTheDriveOnlyWhilePlaying)
{
    CdRig rig;
    const std::filesystem::path bin = std::filesystem::path(rig.cue).replace_extension(".bin");
    rig.openDisc();
    EXPECT_EQ(openHandlesOn(bin) + openHandlesOn(rig.cue), 0) << "open and idle";
    rig.sendCd("Play");
    EXPECT_GT(openHandlesOn(bin), 0) << "playing";
    rig.hear(100, rig.cdControl);
    rig.sendCd("Pause");
    EXPECT_EQ(openHandlesOn(bin) + openHandlesOn(rig.cue), 0) << "paused";
    rig.sendCd("Play");
    rig.sendCd("Stop");
    EXPECT_EQ(openHandlesOn(bin) + openHandlesOn(rig.cue), 0) << "stopped";
}

TEST(CdDevice, ADiscTakenOutDuringPlayStopsWithinABufferAndLeavesNoTableOfContents)
{
    CdRig rig;
    rig.openDisc();
    rig.cdControl.setFrom(2500);
    rig.sendCd("Play");
    rig.hear(100, rig.cdControl);
    const std::size_t before = rig.heardIndexes().size();
    std::filesystem::remove(rig.cue);
    // A buffer's worth of time and a little: the buffer under way ends within it.
    rig.clock->advance(std::chrono::milliseconds(60));
    ASSERT_TRUE(eventually([&] { return !rig.cdDones.codes.empty(); }));
    EXPECT_EQ(rig.cdDones.codes, std::vector<int>{8});
    EXPECT_EQ(rig.cdControl.error(), errors::deviceNotReady);
    EXPECT_TRUE(rig.cdControl.errorMessage().contains(QLatin1String("taken out")))
        << rig.cdControl.errorMessage().toStdString();
    rig.clock->advance(std::chrono::seconds(1));
    drainEvents();
    EXPECT_LE(rig.heardIndexes().size(), before + 44100 * 60 / 1000);
    EXPECT_EQ(rig.cdControl.mode(), notOpen);
    EXPECT_EQ(rig.cdControl.tracks(), 0);
    EXPECT_EQ(rig.cdControl.length(), 0);
}

TEST(CdDevice, OpensADriveWithoutADiscButNotOneThatIsHeldOrUnknown)
{
    CdRig rig;
    {
        const int fd = ::open(rig.cue.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        rig.cdControl.setFileName(QStringLiteral("D:"));
        rig.sendCd("Open");
        EXPECT_EQ(rig.cdControl.error(), errors::deviceInUse);
        EXPECT_FALSE(rig.cdControl.errorMessage().isEmpty());
        EXPECT_EQ(rig.cdControl.mode(), notOpen);
        rig.sendCd("Play");
        EXPECT_EQ(rig.cdControl.error(), errors::deviceNotReady) << "the device stayed closed";
        ::close(fd);
    }
    rig.cdControl.setFileName(QStringLiteral("Q:"));
    rig.sendCd("Open");
    EXPECT_EQ(rig.cdControl.error(), errors::invalidDeviceName);

    std::filesystem::remove(rig.cue);
    rig.cdControl.setFileName(QStringLiteral("d:"));
    rig.sendCd("Open");
    EXPECT_EQ(rig.cdControl.error(), 0) << "no disc is no error";
    EXPECT_EQ(rig.cdControl.mode(), notOpen);
    EXPECT_EQ(rig.cdControl.tracks(), 0);
}

} // namespace

} // namespace lentaro::mci::test
