#pragma once

#include "platform/mail/maillauncher.h"
#include "trace/errorreport.h"
#include "trace/systemprobe.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QPrinter;

namespace lentaro {

class TraceRuntime;

// What the reporter reaches the system through; tests replace each part.
struct ReporterServices {
    std::unique_ptr<SystemProbe> probe;
    std::unique_ptr<MailLauncher> mailLauncher;
    std::function<bool(const QUrl&)> openUrl;             // help files
    std::function<std::unique_ptr<QPrinter>()> makePrinter; // the error dialog's Print
    QString programHelpFile;                              // F1 in the error dialog; may be empty

    // The machine's probe, xdg-email, the desktop's URL handler and the default printer.
    static ReporterServices fromSystem();
};

// The trace runtime's reporter: the system report, the error dialog frmSENTRIX, the defect
// record and error report mails (through the outbox of the program folder) and the error log.
// It reads the runtime's settings and raises its error-dialog-up flag while the dialog is shown.
class SentrixReporter : public ErrorReporter
{
public:
    SentrixReporter(TraceRuntime& runtime, ReporterServices services);

    QString systemReport() override;
    ErrorChoice showErrorDialog(ErrorReport& report) override;
    void mailDefectRecord(const ErrorReport& report) override;
    void mailErrorReport(const ErrorReport& report) override;
    void writeErrorLog(const ErrorReport& report) override;

    // The file the mailed report's record is written to before it is attached: "!error!.log".
    QString reportFilePath() const;

private:
    QString programFolder() const;

    TraceRuntime& runtime_;
    ReporterServices services_;
};

// Gives `runtime` a reporter made of `services`; the caller keeps the reporter for as long as
// the runtime may meet an error.
std::unique_ptr<SentrixReporter> installErrorReporter(TraceRuntime& runtime, ReporterServices services);

// Gives the program's runtime (the one current at the first call) its reporter, which then
// lives as long as the process. Start-up calls this once, before the first traced procedure.
void installErrorReporter();

} // namespace lentaro
