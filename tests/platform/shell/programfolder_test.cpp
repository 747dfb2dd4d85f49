#include "platform/shell/executablename.h"
#include "platform/shell/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lentaro {
namespace {

// Sets environment variables for one test and puts the old values back.
class Environment
{
public:
    void set(const char* name, const QByteArray& value)
    {
        saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~Environment()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->wasSet)
                qputenv(it->name, it->value);
            else
                qunsetenv(it->name);
        }
    }

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    std::vector<Saved> saved_;
};

TEST(ProgramFolder, IsLentaroHomeWhenSetAndIsCreated)
{
    QTemporaryDir temp;
    Environment environment;
    environment.set("LENTARO_HOME", (temp.path() + "/home/").toUtf8());
    EXPECT_EQ(programFolder(), temp.path() + "/home");
    EXPECT_TRUE(QFileInfo(temp.path() + "/home").isDir());
}

TEST(ProgramFolder, FallsBackToTheDataFolder)
{
    QTemporaryDir temp;
    Environment environment;
    environment.set("LENTARO_HOME", QByteArray());
    environment.set("XDG_DATA_HOME", temp.path().toUtf8());
    EXPECT_EQ(programFolder(), temp.path() + "/lentaro");
    EXPECT_TRUE(QFileInfo(temp.path() + "/lentaro").isDir());
}

TEST(ExecutableName, IsTheFileNameWithoutFolder)
{
    EXPECT_EQ(executableName(), "shell_tests");
}

} // namespace
} // namespace lentaro
