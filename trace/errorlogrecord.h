#pragma once

#include "platform/mail/mailmessage.h"
#include "trace/errorreport.h"

#include <QString>

namespace lentaro {

// One error as the error log keeps it, lines ending in CR LF: the start line, the program's
// identification, the error's fields, its call tree, the system report, the user's note and
// the stop line.
QString errorLogRecord(const ErrorReport& report);

// Appends the record to the log file `path`; false when it could not be written whole.
bool pfWriteErrorLog(const QString& path, const ErrorReport& report);

// The e-mailed error report: a one-sentence summary with the record attached as "sxerror.log".
MailMessage errorReportMail(const ErrorReport& report, const QString& address,
                            const QString& executableName, const QByteArray& record);

} // namespace lentaro
