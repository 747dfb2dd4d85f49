#include "platform/registry/Registry.h"
#include "platform/registry/SettingsFile.h"

#include "tests/platform/registry/temp_registry_folder.h"
#include "tests/support/bounded_child.h"
#include "tests/support/non_regular_files.h"
#include "tests/support/skipping_wait_clock.h"

#include <fcntl.h>
#include <sys/file.h>

namespace lentaro::registry {
namespace {

using kvtest::entryDescription;
using kvtest::NonRegularCase;
using kvtest::nonRegularCases;
using kvtest::NonRegularFile;
using lentaro::test::ChildEnd;
using lentaro::test::runBoundedChild;
using test::readBytes;
using test::TempRegistryFolder;

// What a child saw, as its exit code.
enum ChildSaw { AsExpected, ReadNotRefused, ChangeNotRefused, OtherHiveLost, NotRefusedClearly };

bool refusedAsDamaged(const Result& result, const fs::path& file)
{
    return result.status == Status::HiveDamaged && result.damagedFile == file
           && result.message.find(file.string()) != std::string::npos;
}

class HostileHive : public TempRegistryFolder
{
protected:
    void SetUp() override
    {
        TempRegistryFolder::SetUp();
        ASSERT_TRUE(setValue(RootKey::LocalMachine, "", "kept", Value::dword(7)).ok());
        machineBytes = readBytes(machineHive());
    }

    // In a child, bounded in time and memory: a read and a change of the user hive are both
    // refused as damaged, and the machine hive beside it still answers.
    ChildEnd meetUserHive(bool expectKeptAside)
    {
        const fs::path file = userHive();
        return runBoundedChild([file, expectKeptAside] {
            Value value;
            const Result read = getValue(RootKey::CurrentUser, "Software", "x", value);
            if (!refusedAsDamaged(read, file) || read.keptAs.empty() == expectKeptAside)
                return ReadNotRefused;
            // Kept aside, the hive starts afresh; left in place, it keeps refusing.
            const Result changed = setValue(RootKey::CurrentUser, "", "x", Value::dword(1));
            if (expectKeptAside ? !changed.ok() : !refusedAsDamaged(changed, file))
                return ChangeNotRefused;
            if (!getValue(RootKey::LocalMachine, "", "kept", value).ok()
                || value != Value::dword(7))
                return OtherHiveLost;
            return AsExpected;
        });
    }

    std::string machineBytes;
};

TEST_F(HostileHive, NonRegularFileIsRefusedAtOnceAndLeftAlone)
{
    for (const NonRegularCase& entry : nonRegularCases()) {
        SCOPED_TRACE(entry.what);
        fs::remove(userHive());
        fs::remove(folder / "user.hive.bad");
        const NonRegularFile made(entry.kind, folder.string(), "user.hive");
        ASSERT_TRUE(made.made());
        const std::string before = entryDescription(userHive());

        const ChildEnd end = meetUserHive(false);
        EXPECT_TRUE(end.exited) << "out of time " << end.outOfTime << ", out of memory "
                                << end.outOfMemory;
        EXPECT_EQ(end.exitCode, AsExpected);

        // Neither moved nor deleted nor written over, and the other hive is untouched.
        EXPECT_EQ(entryDescription(userHive()), before);
        EXPECT_FALSE(fs::exists(folder / "user.hive.bad"));
        EXPECT_EQ(readBytes(machineHive()), machineBytes);
    }
}

TEST_F(HostileHive, FileBeyondTheSizeLimitIsKeptAside)
{
    {
        std::ofstream(userHive(), std::ios::binary) << "lentaro-registry 1\n";
    }
    // Sparse: it costs no disk, and reading it whole would cost 16 MiB of memory and more.
    fs::resize_file(userHive(), settingsFileSizeLimit + 1);

    const ChildEnd end = meetUserHive(true);
    EXPECT_TRUE(end.exited) << "out of time " << end.outOfTime << ", out of memory "
                            << end.outOfMemory;
    EXPECT_EQ(end.exitCode, AsExpected);
    EXPECT_EQ(fs::file_size(folder / "user.hive.bad"), settingsFileSizeLimit + 1);
    EXPECT_EQ(readBytes(machineHive()), machineBytes);
}

TEST_F(HostileHive, ChangeBeyondTheSizeLimitIsRefusedAndNothingIsLost)
{
    ASSERT_TRUE(setValue(RootKey::CurrentUser, "", "small", Value::string("kept")).ok());
    const std::string stored = readBytes(userHive());

    const Result result = setValue(RootKey::CurrentUser, "", "big",
                                   Value::binary(std::string(settingsFileSizeLimit, 'b')));
    EXPECT_EQ(result.status, Status::IoError);
    EXPECT_NE(result.message.find("MiB"), std::string::npos) << result.message;
    EXPECT_EQ(readBytes(userHive()), stored);

    Value value;
    EXPECT_EQ(getValue(RootKey::CurrentUser, "", "big", value).status, Status::ValueNotFound);
    ASSERT_TRUE(getValue(RootKey::CurrentUser, "", "small", value).ok());
    EXPECT_EQ(value, Value::string("kept"));
}

TEST_F(HostileHive, LockHeldElsewhereFailsTheCallClearlyInsteadOfHanging)
{
    lentaro::test::SkippingWaitClock skippingClock;
    const ScopedOverride skipping(waitClock, skippingClock);
    ASSERT_TRUE(setValue(RootKey::CurrentUser, "", "before", Value::dword(1)).ok());
    const std::string stored = readBytes(userHive());

    // This process's own descriptor of the lock file stands for another process holding it.
    const int held = ::open((folder / "user.hive.lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const ChildEnd end = runBoundedChild(
        [] {
            const Result result = setValue(RootKey::CurrentUser, "", "during", Value::dword(2));
            return result.status == Status::LockTimeout
                           && result.message.find("user.hive.lock") != std::string::npos
                       ? AsExpected
                       : NotRefusedClearly;
        },
        std::chrono::seconds(60));
    EXPECT_TRUE(end.exited) << "out of time " << end.outOfTime;
    EXPECT_EQ(end.exitCode, AsExpected);
    EXPECT_EQ(readBytes(userHive()), stored);

    ::close(held);
    EXPECT_TRUE(setValue(RootKey::CurrentUser, "", "after", Value::dword(3)).ok());
}

} // namespace
} // namespace lentaro::registry
