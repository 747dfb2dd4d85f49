#include "platform/registry/HiveText.h"
#include "platform/registry/Registry.h"

#include "tests/platform/registry/temp_registry_folder.h"

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lentaro::registry {
namespace {

using test::readBytes;
using test::TempRegistryFolder;
using test::writeBytes;

constexpr int valueCount = 300;

std::string name(const char* prefix, int i)
{
    return prefix + std::to_string(i);
}

// A hive with many values, written straight to the file.
std::string manyValuesHive()
{
    Key root;
    bool created = false;
    Key& many = root.make({"Many"}, created);
    for (int i = 0; i < valueCount; ++i)
        many.setValue(name("v", i), Value::string(name("old ", i)));
    return formatHive(root);
}

// Runs the body in a child process, which ends with exit code 0 when the body returns.
pid_t inChild(const std::function<void()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    return pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

bool hasLeftoverTemporary(const std::vector<std::string>& entries)
{
    return std::any_of(entries.begin(), entries.end(),
                       [](const std::string& e) { return e.rfind(".user.hive.tmp-", 0) == 0; });
}

WriteStage killAt;
void killSelfAtStage(WriteStage stage)
{
    if (stage == killAt)
        ::raise(SIGKILL);
}

class AtomicWrite : public TempRegistryFolder
{};

TEST_F(AtomicWrite, AWriterKilledAtAnyStageLeavesTheOldOrTheNewHive)
{
    const std::string big(200000, 'b');
    const std::pair<WriteStage, bool> stages[] = {
        {WriteStage::TempHalfWritten, false},
        {WriteStage::TempSynced, false},
        {WriteStage::Renamed, true},
    };
    for (const auto& [stage, expectNew] : stages) {
        SCOPED_TRACE(int(stage));
        const std::string old = manyValuesHive();
        writeBytes(userHive(), old);

        killAt = stage;
        const pid_t child = inChild([&] {
            setWriteHook(killSelfAtStage);
            setValue(RootKey::CurrentUser, "Many", "big", Value::binary(big));
        });
        const int status = waitFor(child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        Value value;
        const Result loaded = getValue(RootKey::CurrentUser, "Many", "v299", value);
        ASSERT_TRUE(loaded.ok()) << loaded.message;
        EXPECT_EQ(value, Value::string("old 299"));
        const Result bigResult = getValue(RootKey::CurrentUser, "Many", "big", value);
        if (expectNew) {
            EXPECT_TRUE(bigResult.ok());
            EXPECT_EQ(value, Value::binary(big));
        } else {
            EXPECT_EQ(bigResult.status, Status::ValueNotFound);
            EXPECT_EQ(readBytes(userHive()), old);
            EXPECT_TRUE(hasLeftoverTemporary(folderEntries()));
        }

        // The next write clears what the killed writer left behind.
        ASSERT_TRUE(setValue(RootKey::CurrentUser, "Many", "after", Value::dword(1)).ok());
        EXPECT_FALSE(hasLeftoverTemporary(folderEntries()));
    }
}

TEST_F(AtomicWrite, KillsAtArbitraryPointsOfManyWritesAlwaysLeaveALoadableHive)
{
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        writeBytes(userHive(), manyValuesHive());
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        const pid_t child = inChild([&] {
            ::close(progress[0]);
            for (int i = 0; i < valueCount; ++i) {
                setValue(RootKey::CurrentUser, "Many", name("v", i),
                         Value::string(name("new ", i)));
                if (::write(progress[1], "+", 1) != 1)
                    ::_exit(1);
            }
        });
        ::close(progress[1]);
        // Let the child finish a different number of writes each round, then kill it
        // somewhere in the writes that follow.
        const int finished = round * 3;
        char tick;
        for (int i = 0; i < finished; ++i)
            ASSERT_EQ(::read(progress[0], &tick, 1), 1);
        ::kill(child, SIGKILL);
        waitFor(child);
        ::close(progress[0]);

        // The hive loads and holds the first n new values and the old rest, n >= finished.
        int newCount = 0;
        for (int i = 0; i < valueCount; ++i) {
            Value value;
            const Result result = getValue(RootKey::CurrentUser, "Many", name("v", i), value);
            ASSERT_TRUE(result.ok()) << result.message;
            if (value == Value::string(name("new ", i))) {
                ASSERT_EQ(newCount, i) << "new values are not a prefix";
                ++newCount;
            } else {
                ASSERT_EQ(value, Value::string(name("old ", i)));
            }
        }
        EXPECT_GE(newCount, finished);
    }
}

TEST_F(AtomicWrite, TwoProcessesWritingAtOnceLoseNoWrite)
{
    ASSERT_TRUE(createKey(RootKey::CurrentUser, "Shared").ok());
    std::vector<pid_t> children;
    for (const char* prefix : {"a", "b"}) {
        children.push_back(inChild([prefix] {
            for (int i = 0; i < 40; ++i) {
                if (!setValue(RootKey::CurrentUser, "Shared", name(prefix, i), Value::dword(i))
                         .ok())
                    ::_exit(1);
            }
        }));
    }
    for (pid_t child : children) {
        const int status = waitFor(child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (const char* prefix : {"a", "b"}) {
        for (int i = 0; i < 40; ++i) {
            Value value;
            ASSERT_TRUE(getValue(RootKey::CurrentUser, "Shared", name(prefix, i), value).ok())
                << name(prefix, i);
            EXPECT_EQ(value.number(), std::uint32_t(i));
        }
    }
}

TEST_F(AtomicWrite, ThreadsOfOneProcessLoseNoWrite)
{
    ASSERT_TRUE(createKey(RootKey::CurrentUser, "Shared").ok());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 25; ++i) {
                setValue(RootKey::CurrentUser, "Shared", name("t", t * 100 + i), Value::dword(i));
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    reopenFromDisk();
    std::vector<std::string> names;
    ASSERT_TRUE(valueNames(RootKey::CurrentUser, "Shared", names).ok());
    EXPECT_EQ(names.size(), 100u);
}

} // namespace
} // namespace lentaro::registry
