// The central error handler of the trace runtime.
#include "trace/traceruntime.h"

#include "platform/forms/prompts.h"
#include "trace/errortexts.h"
#include "trace/overridepointer.h"

namespace lentaro {

namespace {

const QString lineEnd = QStringLiteral("\r\n");

// The stack's name when it matches the passed one, else "passed << stack's": the failing
// procedure had not traced its entry (or its entry was lost).
QString reconciled(const QString& passed, const QString& onStack)
{
    const QString stackName = onStack.trimmed();
    if (passed.trimmed().toUpper() == stackName.toUpper())
        return stackName;
    return passed + QStringLiteral(" << ") + stackName;
}

class TraceOnlyReporter : public ErrorReporter
{
public:
    QString systemReport() override { return {}; }
    ErrorChoice showErrorDialog(ErrorReport&) override { return ErrorChoice::Continue; }
    void mailDefectRecord(const ErrorReport&) override {}
    void mailErrorReport(const ErrorReport&) override {}
    void writeErrorLog(const ErrorReport&) override {}
};

} // namespace

Service<ErrorReporter> errorReporter{madeAtFirstUse<TraceOnlyReporter>};

ErrorChoice TraceRuntime::sxERROR(const QString& module, const QString& procedure)
{
    checkUserInterfaceThread();
    // Taken first, before anything the handler does can raise another error.
    const RuntimeError error = RuntimeError::fromCurrentException();
    ErrorChoice choice = ErrorChoice::Continue;
    try {
        sxSTART();
        waitWhileErrorDialogUp();
        // This error's own report: an error raised while it is handled gets another one.
        ErrorReport errorReport;
        errorReport.error = recordError(error, module, procedure);
        lastError_ = errorReport.error;
        const ErrorRecord& record = errorReport.error;
        outputs_.pfWriteTraceLine(prefix_ + QStringLiteral("ERROR ")
                                  + QString::number(record.number) + QStringLiteral(" at ")
                                  + record.module + QStringLiteral(" : ") + record.procedure
                                  + QStringLiteral(" : Line ") + QString::number(record.lineNumber)
                                  + QStringLiteral(" : ") + record.description + lineEnd);
        errorReport.depth = stack_.depth();
        errorReport.callTree = stack_.snapshot();
        errorReport.calls = stack_.storedEntries();
        report(errorReport, choice);
    } catch (...) {
        pfErr(RuntimeError::fromCurrentException(), QStringLiteral("sxERROR()"));
    }
    errorDialogUp_ = false;
    return choice;
}

ErrorRecord TraceRuntime::recordError(const RuntimeError& error, const QString& module,
                                      const QString& procedure) const
{
    ErrorRecord record;
    record.number = error.number();
    record.description = error.description();
    const QString& ownSource = environment_.executableName;
    const QString source = error.source().isEmpty() ? ownSource : error.source();
    record.source =
        source + (source == ownSource ? QStringLiteral(" (local)") : QStringLiteral(" (remote)"));
    record.category = pfCategoryText(pfErrorCategory(record.number)) + pfMessageText(16);
    if (const CallFrame* entry = stack_.innermostStored()) {
        record.module = reconciled(module, QString::fromUtf8(entry->module()));
        record.procedure = reconciled(procedure, QString::fromUtf8(entry->procedure()));
    } else {
        record.module = module;
        record.procedure = procedure;
    }
    return record;
}

void TraceRuntime::report(ErrorReport& errorReport, ErrorChoice& choice)
{
    ErrorReporter& reporter = errorReporter();
    errorReport.systemReport = reporter.systemReport();
    if (!settings_.silentRun) {
        // The arrow while the error dialog is up, whatever pointer the program had set.
        const OverridePointer arrow(Qt::ArrowCursor);
        choice = reporter.showErrorDialog(errorReport);
    }
    if (!settings_.quillmarkAddress.isEmpty())
        reporter.mailDefectRecord(errorReport);
    if (!settings_.emailAddress.isEmpty())
        reporter.mailErrorReport(errorReport);
    if (settings_.writeToDisk)
        reporter.writeErrorLog(errorReport);
}

void TraceRuntime::pfErr(const RuntimeError& error, const QString& routine)
{
    try {
        forms::MsgBox(routine + QLatin1Char(' ') + pfMessageText(23) + QLatin1Char(' ')
                          + QString::number(error.number()) + QStringLiteral(", '")
                          + error.description() + QStringLiteral("', inside SENTRIX") + lineEnd,
                      forms::Buttons::OkOnly, forms::Icon::Critical,
                      pfMessageText(53) + pfMessageText(24));
    } catch (...) {
        // Nothing is left to report a failing report to.
    }
}

} // namespace lentaro
