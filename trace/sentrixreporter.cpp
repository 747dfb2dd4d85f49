#include "trace/sentrixreporter.h"

#include "platform/forms/printermaker.h"
#include "platform/mail/sendmail.h"
#include "platform/shell/urlopener.h"
#include "trace/defectrecord.h"
#include "trace/errorlogrecord.h"
#include "trace/frmSENTRIX.h"
#include "trace/systemreport.h"
#include "trace/traceruntime.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>

namespace lentaro {

namespace {

std::optional<QByteArray> readWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// The record alone, in a file of its own: whatever a crashed earlier run left there is replaced.
bool writeFresh(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size()
           && file.flush();
}

TraceRuntime& runtime()
{
    return TraceRuntime::current();
}

// The program folder as the runtime knows it.
QString runtimeFolder()
{
    return runtime().programFolder();
}

} // namespace

SentrixReporter::SentrixReporter(QString programHelpFile)
    : programHelpFile_(std::move(programHelpFile))
{
}

QString SentrixReporter::reportFilePath() const
{
    return runtimeFolder() + QStringLiteral("/!error!.log");
}

QString SentrixReporter::systemReport()
{
    return pfSystemReport(systemProbe(),
                          {runtime().executableName(), runtime().insideDevelopmentEnvironment()});
}

ErrorChoice SentrixReporter::showErrorDialog(ErrorReport& report)
{
    TraceRuntime& reporting = runtime();
    ErrorDialogSetup setup;
    setup.developmentEnvironment = reporting.insideDevelopmentEnvironment();
    setup.forceSystemInfo = reporting.settings().forceSystemInfo;
    setup.executableName = reporting.executableName();
    setup.runtimeHelpFile = runtimeFolder() + QStringLiteral("/sentrix.hlp");
    setup.programHelpFile = programHelpFile_;
    setup.buildSystemReport = [this] { return systemReport(); };
    setup.setDialogUp = [&reporting](bool up) { reporting.setErrorDialogUp(up); };
    setup.openUrl = [](const QUrl& url) { return urlOpener().open(url); };
    setup.makePrinter = [] { return printerMaker().makePrinter(); };
    return pfShowErrorDialog(report, setup);
}

void SentrixReporter::mailDefectRecord(const ErrorReport& report)
{
    const TraceSettings& settings = runtime().settings();
    std::optional<QByteArray> circularLog;
    if (settings.circularLog && settings.attachLog)
        circularLog = readWhole(settings.circularFile);
    const QString record = defectRecord(report, systemProbe(), settings);
    const Outbox outbox(outboxFolder(runtimeFolder()));
    sendMail(defectRecordMail(record, settings, circularLog), outbox, mailLauncher());
}

void SentrixReporter::mailErrorReport(const ErrorReport& report)
{
    const QString path = reportFilePath();
    const QByteArray record = errorLogRecord(report).toUtf8();
    if (writeFresh(path, record)) {
        const Outbox outbox(outboxFolder(runtimeFolder()));
        sendMail(errorReportMail(report, runtime().settings().emailAddress,
                                 runtime().executableName(), record),
                 outbox, mailLauncher());
    }
    QFile::remove(path);
}

void SentrixReporter::writeErrorLog(const ErrorReport& report)
{
    QString path = runtime().settings().logFile;
    if (path.isEmpty())
        path = runtimeFolder() + QStringLiteral("/sxError.log");
    pfWriteErrorLog(path, report);
}

} // namespace lentaro
