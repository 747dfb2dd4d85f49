#include "tests/trace/report_fixture.h"
#include "tests/trace/trace_fixture.h"

#include "trace/errorlogrecord.h"
#include "trace/errortexts.h"
#include "trace/systemreport.h"

#include <QRegularExpression>

namespace lentaro::test {
namespace {

QStringList recordLines(const QString& record)
{
    QStringList lines = record.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.back(), "") << "the record ends with CR LF";
    lines.removeLast();
    return lines;
}

class ErrorLogRecord : public TraceTest
{
protected:
    AmericanLocale american_;
    FakeSystemProbe probe_;
};

TEST_F(ErrorLogRecord, HoldsTheErrorItsCallTreeTheMachineAndTheNote)
{
    ErrorReport report = divisionByZeroReport();
    report.systemReport = pfSystemReport(probe_, {QStringLiteral("Lentaro"), false});
    QStringList lines = recordLines(errorLogRecord(report));

    const QRegularExpression startLine(
        QStringLiteral("^.+ \\d\\d:\\d\\d:\\d\\d - start Sentrix client v6\\.6 .* data capture$"));
    const QRegularExpression stopLine(
        QStringLiteral("^.+ \\d\\d:\\d\\d:\\d\\d - stop Sentrix client v6\\.6 .* data capture$"));
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(startLine.match(lines.front()).hasMatch()) << lines.front().toStdString();
    EXPECT_TRUE(stopLine.match(lines.back()).hasMatch()) << lines.back().toStdString();

    QStringList expected = {
        "*****************************************************************",
        pfMessageText(62),
        "Error Information",
        "\t*Error 0",
        "Category      General run-time error",
        "Source        Lentaro (local) ",
        "Module        frmTrim ",
        "Procedure     Sub Form_Load ",
        "Line Number   0",
        "Error No.     11",
        "Description   Division by zero",
        "",
        "",
        "Call Tree & Arguments",
        " 1\t\tfrmMain : Sub Main : () : Call",
        " 2\t\t  frmTrim : Sub Form_Load : (Cancel=0) : Error Runtime error 11, Division by zero",
        "",
        "System State Information",
    };
    expected << report.systemReport.split(QStringLiteral("\r\n"));
    expected.removeLast(); // the report's own last line end
    expected << "User Said"
             << "I pressed Play twice";
    EXPECT_EQ(lines.mid(1, lines.size() - 2), expected);
    EXPECT_EQ(pfMessageText(62), home_.path() + "/trace_tests ver 2.0.15");
}

TEST_F(ErrorLogRecord, CallTreeMarksTheFailingLevel)
{
    const struct {
        const char* name;
        ErrorReport report;
        QStringList callTree;
    } cases[] = {
        {"with a line number",
         divisionByZeroReport(12),
         {" 1\t\tfrmMain : Sub Main : () : Call",
          " 2\t\t  frmTrim : Sub Form_Load : (Cancel=0) : Trap Runtime error 11, Division by zero "
          "on line 12"}},
        {"failing before its own entry was traced",
         [] {
             ErrorReport report = divisionByZeroReport();
             report.calls.pop_back();
             report.error.module = "frmTrim << frmMain";
             report.error.procedure = "Sub Form_Load << Sub Main";
             return report;
         }(),
         {" 1\t\tfrmMain : Sub Main : () : Call",
          "\t\t : Error Runtime error 11, Division by zero"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList lines = recordLines(errorLogRecord(c.report));
        const qsizetype at = lines.indexOf("Call Tree & Arguments");
        ASSERT_GE(at, 0);
        EXPECT_EQ(lines.mid(at + 1, c.callTree.size()), c.callTree);
        EXPECT_EQ(lines.at(at + 1 + c.callTree.size()), "");
    }
}

TEST_F(ErrorLogRecord, TwoErrorsMakeTwoWholeRecords)
{
    const QString log = path("error.log");
    ASSERT_TRUE(pfWriteErrorLog(log, divisionByZeroReport()));
    ASSERT_TRUE(pfWriteErrorLog(log, divisionByZeroReport(12)));
    const QStringList lines = logLines();
    EXPECT_EQ(lines.filter(" - start Sentrix client v").size(), 2);
    EXPECT_EQ(lines.filter(" - stop Sentrix client v").size(), 2);
    EXPECT_TRUE(lines.back().contains(" - stop Sentrix client v"));
    EXPECT_FALSE(pfWriteErrorLog(path("no/such/folder/error.log"), divisionByZeroReport()));
}

TEST_F(ErrorLogRecord, MailedReportSummarisesTheErrorAndAttachesTheRecord)
{
    const MailMessage mail =
        errorReportMail(divisionByZeroReport(), "support@example.org", "Lentaro", "the record\r\n");
    EXPECT_EQ(mail.to, QStringList{"support@example.org"});
    EXPECT_EQ(mail.subject, "Remote Error Report From Lentaro");
    EXPECT_EQ(mail.body, "Orvane Sentrix reports error 11 (Division by zero) occurred in Lentaro. "
                         "The attached log file has complete details.");
    ASSERT_EQ(mail.attachments.size(), 1U);
    EXPECT_EQ(mail.attachments[0].fileName, "sxerror.log");
    EXPECT_EQ(mail.attachments[0].data, "the record\r\n");
}

} // namespace
} // namespace lentaro::test
