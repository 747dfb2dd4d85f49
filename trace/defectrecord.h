#pragma once

#include "platform/mail/mailmessage.h"
#include "trace/errorreport.h"
#include "trace/systemprobe.h"
#include "trace/tracesettings.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace lentaro {

// The defect record of an error: labelled fields (key, reporter, machine configuration, loaded
// modules, project, assignee, date, synopsis, description, product, call stack), each value on
// the lines after its label, lines ending in CR LF.
QString defectRecord(const ErrorReport& report, const SystemProbe& probe,
                     const TraceSettings& settings);

// The pieces of the record.
QString pfModuleListing(const SystemProbe& probe, int indent);
QString pfDefectDescription(const ErrorReport& report, int indent);
QString pfStackText(const ErrorReport& report, int indent);
QString pfUserName(const SystemProbe& probe);
QString pfPhysicalMemoryText(const SystemProbe& probe); // megabytes, rounded up
QString pfDateTimeText(const SystemProbe& probe);
QString pfSynopsis(const ErrorReport& report);
QString pfProductText();
QString pfModuleTimeStamp(const LoadedModule& module); // "&h" + the build ID in hexadecimal
QString pfFileSize(const SystemProbe& probe, const QString& path); // empty when unknown or 0

// The defect record mail: subject "Sentrix New Defect [database]" to [Quillmark] Address.
// `circularLog` is attached as "CircularTrace.log" when it is given.
MailMessage defectRecordMail(const QString& record, const TraceSettings& settings,
                             const std::optional<QByteArray>& circularLog);

} // namespace lentaro
