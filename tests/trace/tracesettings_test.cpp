#include "platform/registry/SettingsFile.h"
#include "trace/inifile.h"
#include "trace/tracesettings.h"

#include "tests/support/bounded_child.h"
#include "tests/support/non_regular_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lentaro {
namespace {

class SettingsTest : public ::testing::Test
{
protected:
    TraceSettings read(const QByteArray& ini)
    {
        QFile file(folder_.filePath("SXCLIENT.INI"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ini);
        file.close();
        return readTraceSettings(folder_.path());
    }

    QTemporaryDir folder_;
};

TEST_F(SettingsTest, NoFileLeavesEveryOutputOff)
{
    const TraceSettings settings = readTraceSettings(folder_.path());
    EXPECT_FALSE(settings.circularLog);
    EXPECT_EQ(settings.circularFile, folder_.filePath("circ0001.log"));
    EXPECT_EQ(settings.recordSize, 512);
    EXPECT_EQ(settings.maxRecords, 100);
    EXPECT_FALSE(settings.writeToDisk);
    EXPECT_FALSE(settings.captureToDisk);
    EXPECT_FALSE(settings.silentRun);
    EXPECT_FALSE(settings.includeArguments || settings.includeMemory || settings.includeResources
                 || settings.includeUser);
    EXPECT_TRUE(settings.problem.isEmpty());
}

TEST_F(SettingsTest, LogFileSectionAloneLogsToErrorLogWithEverySuffix)
{
    const TraceSettings settings = read("[log file]\r\nWrite To Disk=1\r\nCapture To Disk=1\r\n");
    EXPECT_TRUE(settings.writeToDisk);
    EXPECT_TRUE(settings.captureToDisk);
    EXPECT_EQ(settings.logFile, folder_.filePath("error.log"));
    EXPECT_TRUE(settings.includeArguments && settings.includeMemory && settings.includeResources
                && settings.includeUser);
    EXPECT_FALSE(settings.circularLog);
    EXPECT_FALSE(settings.silentRun);
}

TEST_F(SettingsTest, ValuesAreReadByTheirLeadingNumberOrFirstCharacter)
{
    const TraceSettings settings = read("[LOG FILE]\n"
                                        "circularlog=1x\n"
                                        "write to disk=0.5\n"
                                        "Capture To Disk=abc\n"
                                        "[Preferences]\n"
                                        "Silent Run=2\n"
                                        "[include]\n"
                                        "Resources=0\n"
                                        "Memory=1.5\n"
                                        "Arguments=0.4\n"
                                        "User=-1\n");
    EXPECT_TRUE(settings.circularLog);
    EXPECT_TRUE(settings.writeToDisk);
    EXPECT_FALSE(settings.captureToDisk);
    EXPECT_TRUE(settings.silentRun);
    EXPECT_FALSE(settings.includeResources);
    EXPECT_TRUE(settings.includeMemory);
    EXPECT_FALSE(settings.includeArguments);
    EXPECT_TRUE(settings.includeUser);
}

TEST_F(SettingsTest, LogFileIsRelativeToTheProgramFolderUnlessItHasAFolder)
{
    EXPECT_EQ(read("[log file]\nWrite To Disk=1\nLog File=trace.log\n").logFile,
              folder_.filePath("trace.log"));
    EXPECT_EQ(read("[log file]\nWrite To Disk=1\nLog File=/var/tmp/trace.log\n").logFile,
              "/var/tmp/trace.log");
    EXPECT_EQ(read("[log file]\nWrite To Disk=0\nLog File=trace.log\n").logFile, QString());
}

TEST_F(SettingsTest, AddressesAndDefectSettings)
{
    const TraceSettings settings = read("[email]\nAddress = \"help@example.org\"\n"
                                        "[Quillmark]\nDatabase=Bugs\nAddress=bugs@example.org\n"
                                        "Project=Lentaro\nAssigned To=Ann\n"
                                        "[Ferrow]\nAttach Log=0\n");
    EXPECT_EQ(settings.emailAddress, "help@example.org");
    EXPECT_EQ(settings.quillmarkDatabase, "Bugs");
    EXPECT_EQ(settings.quillmarkAddress, "bugs@example.org");
    EXPECT_EQ(settings.quillmarkProject, "Lentaro");
    EXPECT_EQ(settings.quillmarkAssignedTo, "Ann");
    EXPECT_FALSE(settings.attachLog);
}

struct CircularCase {
    const char* recordSize;
    const char* maxRecords;
    int expectedRecordSize;
    int expectedMaxRecords;
    bool problem;
};

TEST_F(SettingsTest, UnusableRecordSizeOrMaxRecordsTakesItsDefault)
{
    const CircularCase cases[] = {
        {"64", "3", 64, 3, false},   {"2", "1", 2, 1, false},    {"70000", "3", 512, 3, true},
        {"1", "3", 512, 3, true},    {"0", "3", 512, 3, true},   {"-5", "3", 512, 3, true},
        {"abc", "3", 512, 3, true},  {"64", "0", 64, 100, true}, {"64", "40000", 64, 100, true},
        {"64", "-1", 64, 100, true},
    };
    for (const CircularCase& c : cases) {
        const TraceSettings settings =
            read(QByteArray("[Log File]\nCircularLog=1\n[CircularLog]\n") + "RecordSize="
                 + c.recordSize + "\nMaxRecords=" + c.maxRecords + "\nFileName=ring.log\n");
        EXPECT_EQ(settings.recordSize, c.expectedRecordSize) << c.recordSize;
        EXPECT_EQ(settings.maxRecords, c.expectedMaxRecords) << c.maxRecords;
        EXPECT_EQ(!settings.problem.isEmpty(), c.problem) << c.recordSize << " " << c.maxRecords;
        EXPECT_EQ(settings.circularFile, folder_.filePath("ring.log"));
    }
}

TEST_F(SettingsTest, IniNamesIgnoreCaseAndTheFirstOccurrenceWins)
{
    read("; comment\n[Alpha]\nKey = first \nkey=second\n[alpha]\nKEY=third\nOther=x\n"
         "[Beta]\nLong=abcdefgh\n");
    const IniFile ini = IniFile::read(folder_.filePath("SXCLIENT.INI"));
    EXPECT_TRUE(ini.exists());
    EXPECT_EQ(ini.value("ALPHA", "key", "none", 128), "first");
    EXPECT_EQ(ini.value("alpha", "other", "none", 128), "x");
    EXPECT_EQ(ini.value("beta", "long", "none", 5), "abcde");
    EXPECT_EQ(ini.value("beta", "missing", "fallback", 128), "fallback");
    EXPECT_EQ(ini.value("gamma", "key", "", 128), "");
    EXPECT_FALSE(IniFile::read(folder_.filePath("absent.ini")).exists());
}

// In a child bounded in time and memory: the settings file at the program folder is taken as
// one that cannot be read, so every setting is as with no file at all.
test::ChildEnd readsAsNoFile(const QString& folder)
{
    return test::runBoundedChild([folder] {
        const TraceSettings settings = readTraceSettings(folder);
        const bool asNoFile = !IniFile::read(folder + QStringLiteral("/SXCLIENT.INI")).exists()
                              && !settings.circularLog && !settings.writeToDisk
                              && !settings.captureToDisk && !settings.silentRun
                              && !settings.includeUser && settings.logFile.isEmpty()
                              && settings.problem.isEmpty();
        return asNoFile ? 0 : 1;
    });
}

TEST_F(SettingsTest, AnythingButARegularFileIsASettingsFileThatCannotBeRead)
{
    const std::filesystem::path ini =
        QFile::encodeName(folder_.filePath("SXCLIENT.INI")).toStdString();
    for (const kvtest::NonRegularCase& entry : kvtest::nonRegularCases()) {
        SCOPED_TRACE(entry.what);
        std::filesystem::remove(ini);
        const kvtest::NonRegularFile made(entry.kind, folder_.path().toStdString(), "SXCLIENT.INI");
        ASSERT_TRUE(made.made());
        const std::string before = kvtest::entryDescription(ini);

        const test::ChildEnd end = readsAsNoFile(folder_.path());
        EXPECT_TRUE(end.exited) << "out of time " << end.outOfTime << ", out of memory "
                                << end.outOfMemory;
        EXPECT_EQ(end.exitCode, 0);
        EXPECT_EQ(kvtest::entryDescription(ini), before);
    }
}

TEST_F(SettingsTest, FileBeyondTheSizeLimitIsNotRead)
{
    read("[log file]\nWrite To Disk=1\n[preferences]\nSilent Run=1\n");
    // Sparse: it costs no disk, and reading it whole would cost 16 MiB of memory and more.
    ASSERT_TRUE(QFile::resize(folder_.filePath("SXCLIENT.INI"),
                              qint64(registry::settingsFileSizeLimit) + 1));

    const test::ChildEnd end = readsAsNoFile(folder_.path());
    EXPECT_TRUE(end.exited) << "out of time " << end.outOfTime << ", out of memory "
                            << end.outOfMemory;
    EXPECT_EQ(end.exitCode, 0);
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart)
{
    const std::pair<const char*, double> cases[] = {
        {"12ab", 12}, {" 0.5", 0.5}, {"abc", 0}, {"", 0},       {"-3", -3},
        {"+7", 7},    {"1e3", 1000}, {"2e", 2},  {".25", 0.25}, {"-", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(text), value) << text;
}

} // namespace
} // namespace lentaro
