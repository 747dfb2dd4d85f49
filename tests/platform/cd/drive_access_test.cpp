#include "platform/cd/src/DeviceDrive.h"
#include "platform/cd/src/DriveAccessProbe.h"

#include <gtest/gtest.h>

#include <sys/sysmacros.h>

namespace lentaro::cd::test {
namespace {

// /proc/locks as Linux writes it: a POSIX lock, an exclusive flock with a process waiting behind
// it, a shared flock and an open-file-description lock.
constexpr char procLocks[] = "1: POSIX  ADVISORY  WRITE 1203 00:19:1234 0 EOF\n"
                             "2: FLOCK  ADVISORY  WRITE 4242 00:05:317 0 EOF\n"
                             "2: -> FLOCK  ADVISORY  WRITE 4343 00:05:317 0 EOF\n"
                             "3: FLOCK  ADVISORY  READ  5151 08:02:917 0 EOF\n"
                             "4: OFDLCK ADVISORY  WRITE -1 fd:01:2048 0 EOF\n";

TEST(ExclusiveLockHolder, IsTheProcessHoldingAnExclusiveFlockOnThatFile)
{
    EXPECT_EQ(exclusiveLockHolder(procLocks, makedev(0, 5), 317), 4242);

    const struct {
        dev_t device;
        ino_t inode;
        const char* why;
    } nobody[] = {
        {makedev(0, 0x19), 1234, "a POSIX lock is no flock"},
        {makedev(8, 2), 917, "a shared flock holds nobody out"},
        {makedev(0xfd, 1), 2048, "not a flock"},
        {makedev(0, 6), 317, "another device"},
        {makedev(0, 5), 318, "another file"},
    };
    for (const auto& file : nobody)
        EXPECT_EQ(exclusiveLockHolder(procLocks, file.device, file.inode), std::nullopt)
            << file.why;
    EXPECT_EQ(exclusiveLockHolder("", makedev(0, 5), 317), std::nullopt);
}

TEST(DeviceDrive, ADriveThatIsGoneKeepsAnsweringAsAnEmptyDrive)
{
    DeviceDrive drive("/dev/lentaro-no-such-drive");

    EXPECT_FALSE(drive.discPresent());
    EXPECT_FALSE(drive.trayOpen());
    EXPECT_TRUE(drive.toc().empty());
    EXPECT_EQ(drive.access().problem, DriveProblem::NoDisc);
    EXPECT_FALSE(drive.heldElsewhere());
    const OpenedFrames opened = drive.openFrames();
    EXPECT_EQ(opened.reader, nullptr);
    EXPECT_EQ(opened.access.problem, DriveProblem::NoDisc);
}

} // namespace
} // namespace lentaro::cd::test
