#include "tests/app/app_fixture.h"
#include "tests/app/test_database.h"
#include "tests/program/program_process.h"
#include "tests/support/sanitizers.h"

#include "app/preferences.h"

#include <QFileInfo>

#include <csignal>

namespace lentaro::test {

namespace {

constexpr int startTime = 60000;

} // namespace

// The program running as a process of its own, ended by the signals a desktop logout, a closed
// terminal, Ctrl+C or a crash send it.
class ProgramSignals : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        if (underThreadSanitizer)
            GTEST_SKIP() << cannotStartPrograms;
        writeFile("SXCLIENT.INI", "[preferences]\nSilent Run=1\n[log file]\nWrite To Disk=1\n");
    }

    // Started and up, with the slow-down road's working files in its folder.
    void startUp(ProgramProcess& program)
    {
        program.start();
        ASSERT_TRUE(program.waitFor(QStringLiteral("shown: frmMain"), startTime))
            << program.errors().toStdString();
        writeFile("temp.wav", "the loop");
        writeFile("tempslow.wav", "the loop slowed down");
    }

    bool workingFilesThere() const
    {
        return QFileInfo::exists(path("temp.wav")) && QFileInfo::exists(path("tempslow.wav"));
    }
};

TEST_F(ProgramSignals, EndTheProgramThroughItsExitPathAsFileExitDoes)
{
    struct Case {
        int number;
        const char* name;
        bool deleteTempFiles;
    };
    const Case cases[] = {
        {SIGTERM, "SIGTERM", true},
        {SIGHUP, "SIGHUP", true},
        {SIGINT, "SIGINT", true},
        {SIGTERM, "SIGTERM, working files kept", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool keep = c.deleteTempFiles;
        writePref(QStringLiteral("DeleteTempFiles"), keep, c.deleteTempFiles);
        ProgramProcess program;
        startUp(program);
        // A first start may have said something already (no CD drive here): the signal adds nothing.
        const QStringList boxesBefore = program.boxes();

        program.signal(c.number);

        ASSERT_TRUE(program.waitForEnd(startTime));
        EXPECT_TRUE(program.endedCleanly()) << program.errors().toStdString();
        EXPECT_EQ(program.windowsUp(), QStringList());
        EXPECT_EQ(program.boxes(), boxesBefore);
        EXPECT_EQ(workingFilesThere(), !c.deleteTempFiles);
        // The database is whole, with no change left half done beside it.
        EXPECT_FALSE(QFileInfo::exists(path("lentaro.mdb-journal")));
        TestDatabase db(path("lentaro.mdb"));
        EXPECT_EQ(db.value(QStringLiteral("PRAGMA integrity_check")).toString(), "ok");
        EXPECT_FALSE(QFileInfo::exists(path("error.log")))
            << readFile(QStringLiteral("error.log")).toStdString();
    }
}

TEST_F(ProgramSignals, ACrashLeavesItsRecordInTheErrorLog)
{
    for (const int number : {SIGSEGV, SIGABRT}) {
        SCOPED_TRACE(number);
        QFile::remove(path("error.log"));
        ProgramProcess program;
        startUp(program);

        program.signal(number);

        ASSERT_TRUE(program.waitForEnd(startTime));
        EXPECT_FALSE(program.endedCleanly());
        const QString log = QString::fromUtf8(readFile(QStringLiteral("error.log")));
        EXPECT_TRUE(log.contains(QStringLiteral("Error No.     51\r\n"))) << log.toStdString();
        EXPECT_TRUE(log.contains(number == SIGSEGV ? "(SIGSEGV, an invalid memory reference)"
                                                   : "(SIGABRT, an abort)"))
            << log.toStdString();
        EXPECT_TRUE(log.endsWith(QStringLiteral(" data capture\r\n"))) << log.toStdString();
    }
}

} // namespace lentaro::test
