#pragma once

#include "trace/errorreport.h"

#include <QString>

namespace lentaro {

// The trace runtime's reporter: the system report, the error dialog frmSENTRIX, the defect
// record and error report mails (through the outbox of the program folder) and the error log.
// It reads the current runtime's settings and raises its error-dialog-up flag while the dialog
// is shown. It reaches the system through the services systemProbe, mailLauncher, urlOpener
// (help files) and printerMaker (the dialog's Print). The program puts one in place of
// errorReporter for its run.
class SentrixReporter : public ErrorReporter
{
public:
    // programHelpFile: what F1 in the error dialog opens; may be empty.
    explicit SentrixReporter(QString programHelpFile = {});

    QString systemReport() override;
    ErrorChoice showErrorDialog(ErrorReport& report) override;
    void mailDefectRecord(const ErrorReport& report) override;
    void mailErrorReport(const ErrorReport& report) override;
    void writeErrorLog(const ErrorReport& report) override;

    // The file the mailed report's record is written to before it is attached: "!error!.log".
    QString reportFilePath() const;

private:
    QString programHelpFile_;
};

} // namespace lentaro
