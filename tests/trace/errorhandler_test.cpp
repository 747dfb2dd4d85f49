#include "tests/trace/trace_fixture.h"

#include "trace/tracescope.h"

#include <functional>

namespace lentaro::test {
namespace {

// Records what the handler hands over; answers the dialog with a scripted choice.
class RecordingReporter : public ErrorReporter
{
public:
    QString systemReport() override
    {
        calls << "systemReport";
        if (duringSystemReport)
            duringSystemReport();
        return QStringLiteral("report of the machine");
    }
    ErrorChoice showErrorDialog(ErrorReport& report) override
    {
        calls << "showErrorDialog";
        dialogErrors.push_back(report.error);
        if (dialogThrows)
            throw RuntimeError(5);
        report.userNote = QStringLiteral("I pressed Play");
        return choice;
    }
    void mailDefectRecord(const ErrorReport&) override { calls << "mailDefectRecord"; }
    void mailErrorReport(const ErrorReport&) override { calls << "mailErrorReport"; }
    void writeErrorLog(const ErrorReport& report) override
    {
        calls << "writeErrorLog";
        logged.push_back(report);
    }

    QStringList calls;
    std::vector<ErrorRecord> dialogErrors;
    std::vector<ErrorReport> logged;
    ErrorChoice choice = ErrorChoice::Continue;
    bool dialogThrows = false;
    std::function<void()> duringSystemReport;
};

class ErrorHandler : public TraceTest
{
protected:
    // Raises `error` inside the catch block of procedure `procedure` of frmTrim, as a trap does.
    ErrorChoice raise(const RuntimeError& error, const QString& module = "frmTrim",
                      const QString& procedure = "Sub Form_Load")
    {
        try {
            throw error;
        } catch (...) {
            return sxERROR(module, procedure);
        }
    }

    RecordingReporter reporter_;
};

TEST_F(ErrorHandler, SilentRunTracesTheErrorAndShowsNothing)
{
    writeIni(plainLogIni + "[preferences]\nSilent Run=1\n");
    {
        TraceScope trace("frmTrim", "Sub Form_Load");
        trace.run([] { throw RuntimeError(11); });
    }
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[2],
              "[Lentaro] ERROR 11 at frmTrim : Sub Form_Load : Line 0 : Division by zero");
    EXPECT_TRUE(lines[3].startsWith("[Lentaro] [00002] [00000.0000] <-frmTrim : Sub Form_Load"));
    EXPECT_TRUE(prompts_.messageBoxes().empty());
    EXPECT_EQ(runtime().callStack().depth(), 0);
}

TEST_F(ErrorHandler, WithoutAReporterTheAnswerIsContinue)
{
    EXPECT_EQ(raise(RuntimeError(11)), ErrorChoice::Continue);
    EXPECT_TRUE(runtime().started());
    EXPECT_EQ(runtime().lastError().number, 11);
}

TEST_F(ErrorHandler, TheRecordNamesCategorySourceModuleAndProcedure)
{
    sxPUSH("frmTrim", "Sub Form_Load");
    raise(RuntimeError(53));
    ErrorRecord record = runtime().lastError();
    EXPECT_EQ(record.number, 53);
    EXPECT_EQ(record.description, "File not found");
    EXPECT_EQ(record.category, "File System (disk, directory or file) access error");
    EXPECT_EQ(record.source, "Lentaro (local)");
    EXPECT_EQ(record.module, "frmTrim");
    EXPECT_EQ(record.procedure, "Sub Form_Load");
    EXPECT_EQ(record.lineNumber, 0);

    raise(RuntimeError(0x80040000 + 18001, "Key not found", "lentaro.CRegistry"), " FRMTRIM ",
          "sub form_load");
    record = runtime().lastError();
    EXPECT_EQ(record.source, "lentaro.CRegistry (remote)");
    EXPECT_EQ(record.category, "Remote OLE Automation error");
    EXPECT_EQ(record.module, "frmTrim");
    EXPECT_EQ(record.procedure, "Sub Form_Load");
}

TEST_F(ErrorHandler, AProcedureWithoutItsOwnEntryShowsBothNames)
{
    writeIni(plainLogIni + "[preferences]\nSilent Run=1\n");
    sxPUSH("main form", "Sub Form_Load");
    raise(RuntimeError(11), "frmTrim", "Function ms");
    EXPECT_EQ(runtime().lastError().module, "frmTrim << main form");
    EXPECT_EQ(runtime().lastError().procedure, "Function ms << Sub Form_Load");
    EXPECT_EQ(logLines().back(), "[Lentaro] ERROR 11 at frmTrim << main form : Function ms << "
                                 "Sub Form_Load : Line 0 : Division by zero");
}

struct ReporterCase {
    const char* ini;
    QStringList calls;
};

TEST_F(ErrorHandler, SettingsDecideWhatTheReporterIsAskedFor)
{
    const ReporterCase cases[] = {
        {"", {"systemReport", "showErrorDialog"}},
        {"[preferences]\nSilent Run=1\n", {"systemReport"}},
        {"[log file]\nWrite To Disk=1\n", {"systemReport", "showErrorDialog", "writeErrorLog"}},
        {"[email]\nAddress=a@example.org\n[preferences]\nSilent Run=1\n",
         {"systemReport", "mailErrorReport"}},
        {"[Quillmark]\nAddress=q@example.org\n[email]\nAddress=a@example.org\n[log file]\n"
         "Write To Disk=1\n",
         {"systemReport", "showErrorDialog", "mailDefectRecord", "mailErrorReport",
          "writeErrorLog"}},
    };
    for (const ReporterCase& c : cases) {
        TraceEnvironment environment;
        QTemporaryDir folder;
        QFile ini(folder.filePath("SXCLIENT.INI"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(c.ini);
        ini.close();
        environment.programFolder = folder.path();
        environment.executableName = "Lentaro";
        environment.clock = [] { return std::int64_t(0); };
        environment.memoryStatus = [] { return MemoryStatus{}; };
        TraceRuntime caseRuntime(std::move(environment));
        RecordingReporter reporter;
        const ScopedOverride reporterInPlace(errorReporter, reporter);
        const ScopedOverride runtimeInPlace(TraceRuntime::current, caseRuntime);
        raise(RuntimeError(11));
        EXPECT_EQ(reporter.calls, c.calls) << c.ini;
    }
}

TEST_F(ErrorHandler, TheDialogsChoiceIsReturnedAndTheReportCarriesTheCallTree)
{
    writeIni("[log file]\nWrite To Disk=1\n");
    const ScopedOverride reporterInPlace(errorReporter, reporter_);
    reporter_.choice = ErrorChoice::BreakTo;
    sxPUSH("frmMain", "Sub Main");
    sxPUSH("frmTrim", "Sub Form_Load", {{"x", 1}});
    EXPECT_EQ(raise(RuntimeError(11)), ErrorChoice::BreakTo);
    ASSERT_EQ(reporter_.logged.size(), 1u);
    const ErrorReport& report = reporter_.logged[0];
    EXPECT_EQ(report.depth, 2);
    EXPECT_EQ(report.callTree, QStringList({" 1 : frmMain : Sub Main : ()",
                                            " 2 : \tfrmTrim : Sub Form_Load : (x=1)"}));
    EXPECT_EQ(report.systemReport, "report of the machine");
    EXPECT_EQ(report.userNote, "I pressed Play");
    EXPECT_FALSE(runtime().errorDialogUp());
}

TEST_F(ErrorHandler, AnErrorRaisedWhileAnotherIsHandledOverwritesNothing)
{
    writeIni("[log file]\nWrite To Disk=1\n");
    const ScopedOverride reporterInPlace(errorReporter, reporter_);
    reporter_.duringSystemReport = [this] {
        reporter_.duringSystemReport = nullptr;
        TraceScope trace("frmRecorder", "Sub tmrLevel_Timer");
        trace.run([] { throw RuntimeError(53); });
    };
    sxPUSH("frmTrim", "Sub Form_Load");
    raise(RuntimeError(11));
    // The inner error was handled completely before the outer one went on.
    ASSERT_EQ(reporter_.logged.size(), 2u);
    EXPECT_EQ(reporter_.logged[0].error.number, 53);
    EXPECT_EQ(reporter_.logged[0].error.module, "frmRecorder");
    EXPECT_EQ(reporter_.logged[1].error.number, 11);
    EXPECT_EQ(reporter_.logged[1].error.module, "frmTrim");
    EXPECT_EQ(reporter_.logged[1].error.description, "Division by zero");
    EXPECT_EQ(reporter_.logged[1].callTree, QStringList({" 1 : frmTrim : Sub Form_Load : ()"}));
    ASSERT_EQ(reporter_.dialogErrors.size(), 2u);
    EXPECT_EQ(reporter_.dialogErrors[1].number, 11);
}

TEST_F(ErrorHandler, AFailureInsideTheHandlerIsReportedAndTheHandlerFinishes)
{
    writeIni("[log file]\nWrite To Disk=1\n");
    const ScopedOverride reporterInPlace(errorReporter, reporter_);
    reporter_.dialogThrows = true;
    runtime().sxSTART();
    runtime().setErrorDialogUp(false);
    EXPECT_EQ(raise(RuntimeError(11)), ErrorChoice::Continue);
    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_EQ(prompts_.messageBoxes()[0].caption, "Sentrix - Internal Error Handler");
    EXPECT_EQ(prompts_.messageBoxes()[0].text,
              "sxERROR() generated error 5, 'Invalid procedure call or "
              "argument', inside SENTRIX\r\n");
    EXPECT_FALSE(runtime().errorDialogUp());
}

} // namespace
} // namespace lentaro::test
