#include "tests/trace/trace_fixture.h"

#include "trace/linuxsystemprobe.h"
#include "trace/procparsers.h"
#include "trace/systemreport.h"

#include <QFileInfo>

#include <algorithm>

namespace lentaro::test {
namespace {

TEST(Cpuinfo, FirstProcessorIsClassifiedByFamilyModelAndStepping)
{
    const struct {
        const char* name;
        const char* cpuinfo;
        int type;
        int level;
        int revision;
    } cases[] = {
        {"Intel",
         "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\n"
         "model name\t: Intel(R) Core(TM) i7-8700\nstepping\t: 10\n\nprocessor\t: 1\n"
         "vendor_id\t: GenuineIntel\ncpu family\t: 15\nmodel\t\t: 1\nstepping\t: 1\n",
         586, 6, 0x9E0A},
        {"AMD",
         "processor\t: 0\nvendor_id\t: AuthenticAMD\ncpu family\t: 25\nmodel\t\t: 33\nstepping\t: "
         "2\n",
         586, 25, 0x2102},
        {"486",
         "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 4\nmodel\t\t: 8\nstepping\t: "
         "0\n",
         486, 4, 0x800},
        {"ARM", "processor\t: 0\nBogoMIPS\t: 50.00\nCPU implementer\t: 0x41\nCPU part\t: 0xd0c\n",
         0, 0, 0},
        {"nothing readable", "", 0, 0, 0},
    };
    for (const auto& c : cases) {
        const ProcessorInfo processor = processorFromCpuinfo(QString::fromLatin1(c.cpuinfo));
        EXPECT_EQ(processor.type, c.type) << c.name;
        EXPECT_EQ(processor.level, c.level) << c.name;
        EXPECT_EQ(processor.revision, c.revision) << c.name;
    }
}

TEST(MountTable, VolumesAmongTheMounts)
{
    const std::vector<MountEntry> mounts =
        parseMountTable("overlay / overlay rw,relatime 0 0\n"
                        "proc /proc proc rw 0 0\n"
                        "tmpfs /dev/shm tmpfs rw 0 0\n"
                        "/dev/nvme0n1p2 /home ext4 rw 0 0\n"
                        "/dev/sdb1 /media/mira/MY\\040STICK vfat rw 0 0\n"
                        "/dev/sr0 /media/cdrom0 iso9660 ro 0 0\n"
                        "server:/music /mnt/band nfs4 rw 0 0\n"
                        "/dev/loop3 /snap/core/1 squashfs ro 0 0\n");
    ASSERT_EQ(mounts.size(), 8U);
    EXPECT_EQ(mounts[4].device, "/dev/sdb1");
    EXPECT_EQ(mounts[4].mountPoint, "/media/mira/MY STICK");
    EXPECT_EQ(mounts[4].type, "vfat");

    const struct {
        std::size_t mount;
        bool removable;
        std::optional<VolumeKind> kind;
    } cases[] = {
        {0, false, VolumeKind::Fixed},    {1, false, std::nullopt},
        {2, false, std::nullopt},         {3, false, VolumeKind::Fixed},
        {4, true, VolumeKind::Removable}, {5, true, VolumeKind::CdRom},
        {6, false, VolumeKind::Network},  {7, false, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(volumeKind(mounts[c.mount], c.removable), c.kind)
            << mounts[c.mount].mountPoint.toStdString();
}

TEST(LinuxSystemProbe, SeesThisProcessAndMachine)
{
    const LinuxSystemProbe probe;
    const QString executable = probe.executablePath();
    EXPECT_EQ(QFileInfo(executable).fileName(), "trace_tests");

    const std::vector<LoadedModule> modules = probe.loadedModules();
    ASSERT_GE(modules.size(), 2U);
    EXPECT_EQ(modules.front().path, executable);
    const auto qtCore =
        std::find_if(modules.begin(), modules.end(),
                     [](const LoadedModule& module) { return module.path.contains("libQt6Core"); });
    ASSERT_NE(qtCore, modules.end());

    // Our executable carries the build's version; other files carry none.
    const std::optional<VersionResource> own = probe.versionResource(executable);
    ASSERT_TRUE(own.has_value());
    EXPECT_EQ(own->value("FileVersion"), "2.0.15");
    EXPECT_EQ(own->value("ProductName"), "Lentaro");
    EXPECT_FALSE(probe.versionResource(qtCore->path).has_value());

    const std::optional<FileFacts> facts = probe.fileFacts(executable);
    ASSERT_TRUE(facts.has_value());
    EXPECT_EQ(facts->size, QFileInfo(executable).size());
    EXPECT_FALSE(probe.fileFacts("/no/such/file").has_value());

    EXPECT_GE(probe.processorCount(), 1);
    EXPECT_GT(probe.memory().totalPhysical, 0U);
    EXPECT_GE(probe.memory().totalVirtual, probe.memory().totalPhysical);
    ASSERT_TRUE(probe.operatingSystem().has_value());
    EXPECT_EQ(probe.operatingSystem()->kernelName, "Linux");
    const std::vector<VolumeInfo> volumes = probe.volumes();
    EXPECT_TRUE(std::any_of(volumes.begin(), volumes.end(),
                            [](const VolumeInfo& volume) { return volume.mountPoint == "/"; }));
    EXPECT_FALSE(probe.userName().isEmpty());
}

TEST(LinuxSystemProbe, ReportOfThisMachineListsOurExecutableWithItsVersion)
{
    const LinuxSystemProbe probe;
    const QString report = pfSystemReport(probe, {QStringLiteral("trace_tests"), false});
    EXPECT_TRUE(report.contains("\r\n  EXE Name............trace_tests\r\n"));
    EXPECT_TRUE(report.contains("\r\n   Project Version.....2.0.15\r\n"));
    EXPECT_TRUE(report.contains(probe.executablePath()
                                + "       FileVersion: 2.0.15 ProductVersion: 2.0.15"));
    EXPECT_TRUE(report.endsWith("\r\n\r\n"));
}

} // namespace
} // namespace lentaro::test
