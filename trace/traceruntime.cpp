#include "trace/traceruntime.h"

#include "platform/forms/prompts.h"
#include "trace/debugger.h"
#include "trace/errortexts.h"
#include "trace/traceline.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QThread>

#include <cassert>

namespace lentaro {

namespace {

const QString lineEnd = QStringLiteral("\r\n");

QString shortDateAndTime(const QDateTime& moment)
{
    const QLocale locale = QLocale::system();
    return locale.toString(moment.date(), QLocale::ShortFormat) + QStringLiteral(", ")
           + moment.time().toString(QStringLiteral("HH:mm:ss"));
}

TraceRuntime& programRuntime()
{
    // Never destroyed: trace calls may come until the very end of the process, and the
    // circular log is meant to stay open until then.
    static TraceRuntime* const runtime = new TraceRuntime();
    return *runtime;
}

} // namespace

Service<TraceRuntime> TraceRuntime::current{programRuntime};

TraceRuntime::TraceRuntime(TraceEnvironment environment) : environment_(std::move(environment))
{
}

void TraceRuntime::checkUserInterfaceThread()
{
    [[maybe_unused]] const QCoreApplication* const application = QCoreApplication::instance();
    assert((!application || QThread::currentThread() == application->thread())
           && "trace calls come from the user-interface thread");
}

std::int64_t TraceRuntime::sinceStart() const
{
    return environment_.clock() - startTick_;
}

void TraceRuntime::sxSTART()
{
    if (started_)
        return;
    // Marked first: a start that fails part-way is reported once, not on every later call.
    started_ = true;
    try {
        settings_ = readTraceSettings(environment_.programFolder);
        outputs_.setPlainLog(settings_.captureToDisk, settings_.writeToDisk, settings_.logFile);
        if (settings_.circularLog
            && !outputs_.openCircularLog(settings_.circularFile, settings_.recordSize,
                                         settings_.maxRecords)
            && environment_.developmentEnvironment) {
            forms::MsgBox(
                QStringLiteral("Could not open circular log file ") + settings_.circularFile,
                forms::Buttons::OkOnly, forms::Icon::Critical, environment_.executableName);
        }
        stack_.setStartEntry(pfMessageText(32) + QStringLiteral(" <")
                             + shortDateAndTime(QDateTime::currentDateTime()) + QLatin1Char('>'));
        prefix_ = QLatin1Char('[') + environment_.executableName + QStringLiteral("] ");
        startTick_ = environment_.clock();
        if (QCoreApplication::instance())
            outputs_.setMonitor(MonitorLink::find(environment_.monitorFolder));
        outputs_.pfWriteTraceLine(prefix_ + pfMessageText(20) + lineEnd);
        if (!settings_.problem.isEmpty()) {
            pfErr(RuntimeError(380,
                               standardErrorText(380) + QStringLiteral(": ") + settings_.problem),
                  QStringLiteral("sxSTART()"));
        }
    } catch (...) {
        pfErr(RuntimeError::fromCurrentException(), QStringLiteral("sxSTART()"));
    }
}

void TraceRuntime::waitWhileErrorDialogUp()
{
    // The dialog clears the flag from one of its own events, so waiting for events is enough.
    while (errorDialogUp_ && QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TraceRuntime::sxPUSH(const char* module, const char* procedure,
                          std::initializer_list<TraceArg> arguments)
{
    checkUserInterfaceThread();
    try {
        sxSTART();
        if (outputs_.monitorPresent() && lineCount_ == 0)
            mark_ = sinceStart();
        waitWhileErrorDialogUp();
        stack_.push(module, procedure, arguments);
        if (stack_.topStored() && outputs_.anyOn()) {
            ++lineCount_;
            outputs_.pfWriteTraceLine(pfFormatTraceLine(entryCompensation_, false));
        }
        if (mark_ != 0) {
            entryCompensation_ = sinceStart() - mark_;
            mark_ = 0;
        }
    } catch (...) {
        // Tracing never fails the traced procedure.
    }
}

void TraceRuntime::sxPOP(const char* module, const char* procedure)
{
    checkUserInterfaceThread();
    try {
        if (outputs_.monitorPresent() && lineCount_ == 1)
            mark_ = sinceStart();
        waitWhileErrorDialogUp();
        if (stack_.depth() > CallStack::capacity) {
            // Too deep to have been stored: counted on the way in, counted off on the way out.
            stack_.pop();
        } else if (stack_.topIs(module, procedure)) {
            if (outputs_.anyOn()) {
                ++lineCount_;
                outputs_.pfWriteTraceLine(pfFormatTraceLine(exitCompensation_, true));
            }
            stack_.pop();
        } else {
            unbalancedExit(module, procedure);
        }
        if (mark_ != 0) {
            exitCompensation_ = sinceStart() - mark_;
            mark_ = 0;
        }
    } catch (...) {
        // Tracing never fails the traced procedure.
    }
}

void TraceRuntime::unbalancedExit(const char* module, const char* procedure)
{
    stack_.abandon();
    if (!environment_.developmentEnvironment)
        return;
    // A procedure that failed before its own entry was traced leaves unbalanced exits behind
    // it; its error already said so.
    const QString unmatched = QStringLiteral(" << ");
    if (!(lastError_.module.contains(unmatched) && lastError_.procedure.contains(unmatched))) {
        const QString text = pfMessageText(19) + QLatin1Char('\t') + QString::fromUtf8(module)
                             + lineEnd + pfMessageText(30) + QLatin1Char('\t')
                             + QString::fromUtf8(procedure) + lineEnd + lineEnd + pfMessageText(48)
                             + lineEnd + lineEnd + pfMessageText(49) + lineEnd + lineEnd
                             + pfMessageText(50) + lineEnd + pfMessageText(51);
        if (forms::MsgBox(text, forms::Buttons::OkCancel, forms::Icon::Exclamation,
                          pfMessageText(53))
            == forms::Answer::Ok)
            breakIntoDebugger();
    }
    lastError_.module.clear();
    lastError_.procedure.clear();
}

QString TraceRuntime::pfFormatTraceLine(std::int64_t compensation, bool exit)
{
    const int depth = stack_.depth();
    const CallFrame& entry = stack_.top();
    QString line = prefix_ + QLatin1Char('[') + lineCounterText(lineCount_) + QStringLiteral("] [")
                   + pfDecimalSeparator(sinceStart() - compensation)
                   + (exit ? QStringLiteral("] <-") : QStringLiteral("] ->"));
    if (settings_.includeArguments) {
        line += stack_.indentedText(depth);
    } else {
        line += QString(depth - 1, QLatin1Char('\t')) + QString::fromUtf8(entry.module())
                + QStringLiteral(" : ") + QString::fromUtf8(entry.procedure());
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
    }
    if (settings_.includeResources || settings_.includeMemory) {
        line += memorySuffix(settings_.includeResources, settings_.includeMemory,
                             environment_.memoryStatus());
    }
    if (settings_.includeUser)
        line += QStringLiteral(" : ") + pfNoOp();
    return line + lineEnd;
}

void sxSTART()
{
    TraceRuntime::current().sxSTART();
}

void sxPUSH(const char* module, const char* procedure, std::initializer_list<TraceArg> arguments)
{
    TraceRuntime::current().sxPUSH(module, procedure, arguments);
}

void sxPOP(const char* module, const char* procedure)
{
    TraceRuntime::current().sxPOP(module, procedure);
}

ErrorChoice sxERROR(const QString& module, const QString& procedure)
{
    return TraceRuntime::current().sxERROR(module, procedure);
}

} // namespace lentaro
