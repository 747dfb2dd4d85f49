#include "platform/cd/DiscChangeMonitor.h"
#include "platform/cd/ImageDrive.h"
#include "platform/cd/ScriptedDiscChanges.h"
#include "platform/cd/UdevMedia.h"

#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/platform/cd/support/cd_test_support.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace lentaro::cd {

void PrintTo(const DiscChange& change, std::ostream* out)
{
    *out << change.letter << (change.arrived ? " arrived" : " removed");
}

namespace test {
namespace {

using namespace std::chrono_literals;

ImageSpec oneTrack()
{
    return {{{75, 0, false}}, {}, {}, {}};
}

// What a subscriber heard.
struct Heard {
    std::vector<DiscChange> changes;
    DiscChangeSource::Handler handler()
    {
        return [this](const DiscChange& change) { changes.push_back(change); };
    }
};

std::vector<DiscChange> takeAll(Heard& heard)
{
    std::vector<DiscChange> taken;
    taken.swap(heard.changes);
    return taken;
}

class PolledImages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"first", "second"})
            cues.push_back(writeImage(folder.path(), name, oneTrack()));
        std::vector<std::unique_ptr<Drive>> list;
        for (const fs::path& cue : cues)
            list.push_back(std::make_unique<ImageDrive>(cue));
        drives = DriveList(std::move(list));
    }

    TempFolder folder;
    std::vector<fs::path> cues;
    DriveList drives;
};

TEST_F(PolledImages, EachChangeIsOneEventWithItsLetterAndNothingComesAtStart)
{
    DiscChangeMonitor monitor(drives, {1h, false});
    Heard heard;
    const auto subscription = monitor.subscribe(heard.handler());
    monitor.poll();
    EXPECT_TRUE(takeAll(heard).empty());

    fs::remove(cues[1]);
    monitor.poll();
    monitor.poll();
    EXPECT_EQ(takeAll(heard), (std::vector<DiscChange>{{'E', false}}));

    writeImage(folder.path(), "second", oneTrack());
    monitor.poll();
    monitor.poll();
    EXPECT_EQ(takeAll(heard), (std::vector<DiscChange>{{'E', true}}));

    drives.drive('D')->eject();
    monitor.poll();
    EXPECT_EQ(takeAll(heard), (std::vector<DiscChange>{{'D', false}}));
    drives.drive('D')->closeTray();
    monitor.poll();
    EXPECT_EQ(takeAll(heard), (std::vector<DiscChange>{{'D', true}}));

    // An eject the poll does not see before the tray closes again changed nothing.
    drives.drive('E')->eject();
    drives.drive('E')->closeTray();
    monitor.poll();
    EXPECT_TRUE(takeAll(heard).empty());
}

// The program's monitor is made once; the drives it watches are those in place when watching
// starts, not a list that has gone since.
TEST_F(PolledImages, TheProgramsMonitorWatchesTheDrivesInPlaceWhenWatchingStarts)
{
    DiscChangeMonitor monitor;
    for (const std::size_t image : {0u, 1u}) {
        SCOPED_TRACE(image);
        std::vector<std::unique_ptr<Drive>> one;
        one.push_back(std::make_unique<ImageDrive>(cues[image]));
        DriveList inPlace(std::move(one));
        const ScopedOverride drivesInPlace(cdDrives, inPlace);
        Heard heard;
        const auto subscription = monitor.subscribe(heard.handler());

        fs::remove(cues[image]);
        monitor.poll();

        EXPECT_EQ(takeAll(heard), (std::vector<DiscChange>{{'D', false}}));
    }
}

TEST_F(PolledImages, TheTimerPollsUntilTheLastSubscriberLeavesEvenFromItsOwnHandler)
{
    DiscChangeMonitor monitor(drives, {10ms, false});
    std::vector<DiscChange> heard;
    std::unique_ptr<DiscChangeSubscription> subscription;
    subscription = monitor.subscribe([&](const DiscChange& change) {
        heard.push_back(change);
        subscription.reset(); // inside the timer's own poll
    });

    drives.drive('E')->eject();
    ASSERT_TRUE(waitUntil([&] { return !heard.empty(); }));
    EXPECT_EQ(heard, (std::vector<DiscChange>{{'E', false}}));

    drives.drive('E')->closeTray();
    monitor.poll();
    for (int turn = 0; turn < 5; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(heard.size(), 1u) << "watching ended with the last subscription";
}

TEST_F(PolledImages, EachSubscriberOwnsItsSubscription)
{
    DiscChangeMonitor monitor(drives, {1h, false});
    Heard first, second;
    auto firstSubscription = monitor.subscribe(first.handler());
    std::unique_ptr<DiscChangeSubscription> secondSubscription;
    // The second subscriber leaves while it hears its first change.
    secondSubscription = monitor.subscribe([&](const DiscChange& change) {
        second.changes.push_back(change);
        secondSubscription.reset();
    });

    fs::remove(cues[0]);
    monitor.poll();
    writeImage(folder.path(), "first", oneTrack());
    monitor.poll();

    EXPECT_EQ(first.changes, (std::vector<DiscChange>{{'D', false}, {'D', true}}));
    EXPECT_EQ(second.changes, (std::vector<DiscChange>{{'D', false}}));
}

TEST(DiscChangeSubscription, OutlivingItsSourceIsHarmless)
{
    std::unique_ptr<DiscChangeSubscription> subscription;
    {
        ScriptedDiscChanges source;
        subscription = source.subscribe([](const DiscChange&) {});
    }
    subscription.reset();
}

TEST(ScriptedDiscChanges, ReportsWhatTheTestSaysToItsSubscribers)
{
    ScriptedDiscChanges source;
    Heard heard;
    source.arrive('F');
    const auto subscription = source.subscribe(heard.handler());
    source.arrive('E');
    source.remove('E');

    EXPECT_EQ(heard.changes, (std::vector<DiscChange>{{'E', true}, {'E', false}}));
}

// Property sets as udev sends them for an optical drive (from `udevadm monitor --property` and
// `udevadm info` of an ATA BD-RE drive), trimmed of properties nothing here looks at.
UdevProperties drive(UdevProperties extra)
{
    UdevProperties event{{"SUBSYSTEM", "block"},
                         {"DEVTYPE", "disk"},
                         {"DEVNAME", "/dev/sr0"},
                         {"DEVPATH", "/devices/pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/"
                                     "1:0:0:0/block/sr0"},
                         {"MAJOR", "11"},
                         {"MINOR", "0"},
                         {"ID_BUS", "ata"},
                         {"ID_TYPE", "cd"},
                         {"ID_CDROM", "1"},
                         {"ID_CDROM_CD", "1"},
                         {"ID_CDROM_CD_R", "1"},
                         {"ID_CDROM_DVD", "1"},
                         {"ID_CDROM_BD", "1"},
                         {"ID_MODEL", "HL-DT-ST_BD-RE_BH12LS38"},
                         {"TAGS", ":uaccess:seat:systemd:"}};
    for (auto& [name, value] : extra)
        event[name] = value;
    return event;
}

const UdevProperties audioCdInserted = drive({{"ACTION", "change"},
                                              {"DISK_MEDIA_CHANGE", "1"},
                                              {"ID_CDROM_MEDIA", "1"},
                                              {"ID_CDROM_MEDIA_CD", "1"},
                                              {"ID_CDROM_MEDIA_SESSION_COUNT", "1"},
                                              {"ID_CDROM_MEDIA_TRACK_COUNT", "10"},
                                              {"ID_CDROM_MEDIA_TRACK_COUNT_AUDIO", "10"}});
const UdevProperties trayOpened =
    drive({{"ACTION", "change"}, {"DISK_MEDIA_CHANGE", "1"}, {"SYSTEMD_READY", "0"}});
const UdevProperties ejectButtonPressed = drive({{"ACTION", "change"},
                                                 {"DISK_EJECT_REQUEST", "1"},
                                                 {"ID_CDROM_MEDIA", "1"},
                                                 {"ID_CDROM_MEDIA_CD", "1"}});

struct UdevCase {
    const char* name;
    UdevProperties event;
    std::optional<bool> present; // nothing: the event says nothing about a CD drive's medium
    const char* node;
};

void PrintTo(const UdevCase& example, std::ostream* out)
{
    *out << example.name;
}

class UdevRecordedEvents : public ::testing::TestWithParam<UdevCase>
{};

TEST_P(UdevRecordedEvents, TellTheMediumOfTheDriveTheyAreAbout)
{
    const std::optional<UdevMedia> media = udevMediaOf(GetParam().event);
    ASSERT_EQ(media.has_value(), GetParam().present.has_value());
    if (media) {
        EXPECT_EQ(media->present, *GetParam().present);
        EXPECT_EQ(media->node, GetParam().node);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Events, UdevRecordedEvents,
    ::testing::Values(
        UdevCase{"AudioCdInserted", audioCdInserted, true, "/dev/sr0"},
        UdevCase{"TrayOpened", trayOpened, false, "/dev/sr0"},
        UdevCase{"EjectButtonPressed", ejectButtonPressed, std::nullopt, ""},
        UdevCase{"UsbDriveWithADiscPluggedIn",
                 drive({{"ACTION", "add"}, {"DEVNAME", "/dev/sr1"}, {"ID_CDROM_MEDIA", "1"}}), true,
                 "/dev/sr1"},
        UdevCase{"UsbDriveUnplugged",
                 {{"ACTION", "remove"},
                  {"SUBSYSTEM", "block"},
                  {"DEVTYPE", "disk"},
                  {"DEVNAME", "/dev/sr1"}},
                 false,
                 "/dev/sr1"},
        UdevCase{"HardDiskChanged",
                 {{"ACTION", "change"},
                  {"SUBSYSTEM", "block"},
                  {"DEVTYPE", "disk"},
                  {"DEVNAME", "/dev/sda"},
                  {"ID_TYPE", "disk"}},
                 std::nullopt,
                 ""},
        UdevCase{"PartitionAdded",
                 {{"ACTION", "add"},
                  {"SUBSYSTEM", "block"},
                  {"DEVTYPE", "partition"},
                  {"DEVNAME", "/dev/sdb1"},
                  {"ID_FS_TYPE", "vfat"}},
                 std::nullopt,
                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A drive of this machine as udev names it, whose disc the test puts in and takes out.
class FakeDeviceDrive : public Drive
{
public:
    explicit FakeDeviceDrive(std::string node) : m_node(std::move(node)) {}

    std::string path() const override { return m_node; }
    std::string deviceNode() const override { return m_node; }
    bool discPresent() override { return present; }
    bool trayOpen() override { return false; }
    Toc toc() override { return {}; }
    bool eject() override { return false; }
    bool closeTray() override { return false; }
    DriveAccess access() override { return {}; }
    OpenedFrames openFrames() override { return {}; }

    bool present = false;

private:
    std::string m_node;
};

TEST(DiscChangeMonitor, DrivesHeardThroughUdevReportChangesOnly)
{
    TempFolder folder;
    std::vector<std::unique_ptr<Drive>> list;
    list.push_back(std::make_unique<FakeDeviceDrive>("/dev/sr0"));
    list.push_back(std::make_unique<ImageDrive>(writeImage(folder.path(), "disc", oneTrack())));
    DriveList drives(std::move(list));
    DiscChangeMonitor monitor(drives, {1h, true});
    Heard heard;
    const auto subscription = monitor.subscribe(heard.handler());

    monitor.udevEvent(audioCdInserted);
    monitor.udevEvent(audioCdInserted);
    monitor.udevEvent(ejectButtonPressed);
    monitor.udevEvent(trayOpened);
    UdevProperties otherDrive = audioCdInserted;
    otherDrive["DEVNAME"] = "/dev/sr5";
    monitor.udevEvent(otherDrive);

    EXPECT_EQ(heard.changes, (std::vector<DiscChange>{{'D', true}, {'D', false}}));
}

} // namespace
} // namespace test
} // namespace lentaro::cd
