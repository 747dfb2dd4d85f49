#pragma once

#include "platform/shell/service.h"
#include "trace/callstack.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace lentaro {

// The choice that leaves the error handler. Either way the failing procedure is left;
// BreakTo first stops in an attached debugger.
enum class ErrorChoice { Continue = 0, BreakTo = 5 };

// One intercepted error as the handler records it.
struct ErrorRecord {
    std::int32_t number = 0;
    QString description;
    QString source;              // the raising source + " (local)" or " (remote)"
    QString module;              // "frmTrim", or "passed << on the stack" when they differ
    QString procedure;           // "Sub Form_Load", likewise
    QString category;            // category text + " error"
    std::int32_t lineNumber = 0; // 0: this program has no line numbers
};

// Everything known about one intercepted error; each error gets its own report.
struct ErrorReport {
    ErrorRecord error;
    int depth = 0;        // call depth when the error was intercepted
    QStringList callTree; // the stored call-stack entries, outermost first (" 1 : frmMain : ...")
    std::vector<CallEntry> calls; // the same levels by their parts
    QString systemReport;         // the machine and program description
    QString userNote;             // what the user typed in the error dialog
};

// What the error handler hands an intercepted error to after it has traced it: the system
// report, the error dialog, the defect record and report mails and the error log. The handler
// decides from the settings which of these run.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;

    virtual QString systemReport() = 0;

    // Shows the error modally and returns the user's choice; may fill report.userNote and
    // replace report.systemReport.
    virtual ErrorChoice showErrorDialog(ErrorReport& report) = 0;

    virtual void mailDefectRecord(const ErrorReport& report) = 0;
    virtual void mailErrorReport(const ErrorReport& report) = 0;
    virtual void writeErrorLog(const ErrorReport& report) = 0;
};

// The reporter in use. Unless one is put in place an error is only traced and answered with
// Continue: nothing is shown, mailed or logged. The program puts its SentrixReporter
// (sentrixreporter.h) in place for its run.
extern Service<ErrorReporter> errorReporter;

} // namespace lentaro
