#include "trace/sentrixreporter.h"

#include "platform/mail/sendmail.h"
#include "trace/defectrecord.h"
#include "trace/errorlogrecord.h"
#include "trace/frmSENTRIX.h"
#include "trace/linuxsystemprobe.h"
#include "trace/systemreport.h"
#include "trace/traceruntime.h"

#include <QDesktopServices>
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

} // namespace

ReporterServices ReporterServices::fromSystem()
{
    ReporterServices services;
    services.probe = std::make_unique<LinuxSystemProbe>();
    services.mailLauncher = std::make_unique<XdgEmailLauncher>();
    services.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    services.makePrinter = [] { return std::make_unique<QPrinter>(QPrinter::HighResolution); };
    return services;
}

SentrixReporter::SentrixReporter(TraceRuntime& runtime, ReporterServices services)
    : runtime_(runtime), services_(std::move(services))
{
}

QString SentrixReporter::programFolder() const
{
    return runtime_.programFolder();
}

QString SentrixReporter::reportFilePath() const
{
    return programFolder() + QStringLiteral("/!error!.log");
}

QString SentrixReporter::systemReport()
{
    return pfSystemReport(*services_.probe,
                          {runtime_.executableName(), runtime_.insideDevelopmentEnvironment()});
}

ErrorChoice SentrixReporter::showErrorDialog(ErrorReport& report)
{
    ErrorDialogSetup setup;
    setup.developmentEnvironment = runtime_.insideDevelopmentEnvironment();
    setup.forceSystemInfo = runtime_.settings().forceSystemInfo;
    setup.executableName = runtime_.executableName();
    setup.runtimeHelpFile = programFolder() + QStringLiteral("/sentrix.hlp");
    setup.programHelpFile = services_.programHelpFile;
    setup.buildSystemReport = [this] { return systemReport(); };
    setup.setDialogUp = [this](bool up) { runtime_.setErrorDialogUp(up); };
    setup.openUrl = services_.openUrl;
    setup.makePrinter = services_.makePrinter;
    return pfShowErrorDialog(report, setup);
}

void SentrixReporter::mailDefectRecord(const ErrorReport& report)
{
    const TraceSettings& settings = runtime_.settings();
    std::optional<QByteArray> circularLog;
    if (settings.circularLog && settings.attachLog)
        circularLog = readWhole(settings.circularFile);
    const QString record = defectRecord(report, *services_.probe, settings);
    const Outbox outbox(outboxFolder(programFolder()));
    sendMail(defectRecordMail(record, settings, circularLog), outbox, *services_.mailLauncher);
}

void SentrixReporter::mailErrorReport(const ErrorReport& report)
{
    const QString path = reportFilePath();
    const QByteArray record = errorLogRecord(report).toUtf8();
    if (writeFresh(path, record)) {
        const Outbox outbox(outboxFolder(programFolder()));
        sendMail(errorReportMail(report, runtime_.settings().emailAddress, runtime_.executableName(), record),
                 outbox, *services_.mailLauncher);
    }
    QFile::remove(path);
}

void SentrixReporter::writeErrorLog(const ErrorReport& report)
{
    QString path = runtime_.settings().logFile;
    if (path.isEmpty())
        path = programFolder() + QStringLiteral("/sxError.log");
    pfWriteErrorLog(path, report);
}

std::unique_ptr<SentrixReporter> installErrorReporter(TraceRuntime& runtime, ReporterServices services)
{
    auto reporter = std::make_unique<SentrixReporter>(runtime, std::move(services));
    runtime.setErrorReporter(reporter.get());
    return reporter;
}

void installErrorReporter()
{
    // Never destroyed, like the program's runtime: an error may come until the very end.
    static SentrixReporter* const reporter =
        installErrorReporter(TraceRuntime::current(), ReporterServices::fromSystem()).release();
    TraceRuntime::current().setErrorReporter(reporter);
}

} // namespace lentaro
