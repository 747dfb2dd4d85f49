#include "tests/support/bounded_child.h"
#include "tests/trace/report_fixture.h"
#include "tests/trace/trace_fixture.h"

#include "trace/crashrecord.h"
#include "trace/errorlogrecord.h"
#include "trace/errortexts.h"
#include "trace/runtimeerror.h"

#include <QDir>
#include <QFile>

#include <csignal>

namespace lentaro::test {
namespace {

// The record's lines between its start and stop lines, whose date and time differ.
QStringList innerLines(const QString& record)
{
    QStringList lines = record.split(QStringLiteral("\r\n"));
    if (lines.size() < 3)
        return lines;
    EXPECT_EQ(lines.back(), "") << "the record ends with CR LF";
    EXPECT_TRUE(lines.front().contains(" - start Sentrix client v")) << lines.front().toStdString();
    EXPECT_TRUE(lines[lines.size() - 2].contains(" - stop Sentrix client v"))
        << lines[lines.size() - 2].toStdString();
    return lines.mid(1, lines.size() - 3);
}

class CrashRecordTest : public TraceTest
{};

// A process that crashes inside traced procedures, in a child of the test: its error log gets
// the record the central handler writes, for run-time error 51 naming the signal, with the
// running procedures, before the process dies of the signal.
TEST_F(CrashRecordTest, TheErrorLogGetsTheCrashsRecordBeforeTheProcessDies)
{
    writeIni(QStringLiteral("[log file]\nWrite To Disk=1\n"));
    struct Case {
        int number;
        const char* named;
    };
    const Case cases[] = {
        {SIGSEGV, "SIGSEGV, an invalid memory reference"},
        {SIGABRT, "SIGABRT, an abort"},
        {SIGBUS, "SIGBUS, a bus error"},
        {SIGFPE, "SIGFPE, an arithmetic fault"},
        {SIGILL, "SIGILL, an illegal instruction"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        QFile::remove(path("error.log"));

        const ChildEnd end = runBoundedChild([&] {
            const CrashRecord record(runtime());
            runtime().sxPUSH("frmMain", "Sub Main");
            runtime().sxPUSH("frmTrim", "Sub Form_Load", {{"Cancel", 0}});
            std::raise(c.number);
            return 0;
        });

        EXPECT_FALSE(end.exited && end.exitCode == 0) << "the process went on";
        ErrorReport crash;
        crash.error.number = 51;
        crash.error.description = standardErrorText(51) + QStringLiteral(" (")
                                  + QString::fromLatin1(c.named)
                                  + QStringLiteral("): the program ended");
        crash.error.source = QStringLiteral("Lentaro (local)");
        crash.error.module = QStringLiteral("frmTrim");
        crash.error.procedure = QStringLiteral("Sub Form_Load");
        crash.error.category = pfCategoryText(pfErrorCategory(51)) + pfMessageText(16);
        crash.depth = 2;
        crash.calls = {{"frmMain", "Sub Main", "()"}, {"frmTrim", "Sub Form_Load", "(...)"}};
        EXPECT_EQ(innerLines(QString::fromUtf8(readFile("error.log"))),
                  innerLines(errorLogRecord(crash)));
    }
}

// The settings write no other errors to the log; a crash, which ends the program, is written
// all the same.
TEST_F(CrashRecordTest, WithoutWriteToDiskTheCrashIsStillRecorded)
{
    const ChildEnd end = runBoundedChild([&] {
        const CrashRecord record(runtime());
        runtime().sxPUSH("frmMain", "Sub Main");
        std::raise(SIGSEGV);
        return 0;
    });

    EXPECT_FALSE(end.exited && end.exitCode == 0);
    const QString log = QString::fromUtf8(readFile("error.log"));
    EXPECT_TRUE(log.contains(QStringLiteral("Error No.     51\r\n"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("SIGSEGV"))) << log.toStdString();
}

} // namespace
} // namespace lentaro::test
