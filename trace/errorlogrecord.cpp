#include "trace/errorlogrecord.h"

#include "trace/calltree.h"
#include "trace/errortexts.h"

#include <QFile>

namespace lentaro {

namespace {

const QString lineEnd = QStringLiteral("\r\n");

// The label, then blanks up to the next print zone (columns 1, 15, 29, ...).
QString zoned(const QString& label)
{
    constexpr qsizetype zoneWidth = 14;
    return label.leftJustified((label.size() / zoneWidth + 1) * zoneWidth, QLatin1Char(' '));
}

QString callTreeSection(const ErrorReport& report)
{
    const std::vector<CallTreeLine> lines = callTreeLines(report);
    QString section;
    int level = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const CallTreeLine& line = lines[i];
        const QString indent(line.nesting * 2, QLatin1Char(' '));
        if (line.tag == CallTreeLine::Tag::Call) {
            ++level;
            section += QLatin1Char(' ') + QString::number(level) + QStringLiteral("\t\t") + indent
                       + line.text;
            // The failing procedure's line carries the error itself.
            const bool failing =
                i + 1 < lines.size() && lines[i + 1].tag == CallTreeLine::Tag::Trap;
            if (!failing) {
                section += callTreeTagText(CallTreeLine::Tag::Call) + lineEnd;
            } else if (report.error.lineNumber > 0) {
                section += callTreeTagText(CallTreeLine::Tag::Trap) + QLatin1Char(' ')
                           + runtimeErrorText(report.error, true) + lineEnd;
            } else {
                section += callTreeTagText(CallTreeLine::Tag::Error) + QLatin1Char(' ')
                           + runtimeErrorText(report.error, false) + lineEnd;
            }
        } else if (line.tag == CallTreeLine::Tag::Error) {
            section += QStringLiteral("\t\t") + indent + callTreeTagText(line.tag)
                       + QLatin1Char(' ') + line.text + lineEnd;
        }
    }
    return section;
}

} // namespace

QString errorLogRecord(const ErrorReport& report)
{
    const ErrorRecord& error = report.error;
    QString record;
    record += pfMessageText(20) + lineEnd;
    record += QString(65, QLatin1Char('*')) + lineEnd;
    record += pfMessageText(62) + lineEnd;
    record += pfMessageText(27) + lineEnd;
    record += QStringLiteral("\t*Error 0") + lineEnd;
    record += zoned(pfMessageText(38)) + error.category + lineEnd;
    record += zoned(QStringLiteral("Source")) + error.source + QLatin1Char(' ') + lineEnd;
    record += zoned(QStringLiteral("Module")) + error.module + QLatin1Char(' ') + lineEnd;
    record += zoned(pfMessageText(30)) + error.procedure + QLatin1Char(' ') + lineEnd;
    record += zoned(pfMessageText(35)) + QString::number(error.lineNumber) + lineEnd;
    record += zoned(pfMessageText(36)) + QString::number(error.number) + lineEnd;
    record += zoned(pfMessageText(37)) + error.description + lineEnd;
    record += lineEnd + lineEnd;
    record += pfMessageText(28) + lineEnd;
    record += callTreeSection(report);
    record += lineEnd + pfMessageText(29) + lineEnd;
    record += report.systemReport;
    if (!report.systemReport.isEmpty() && !report.systemReport.endsWith(lineEnd))
        record += lineEnd;
    record += QStringLiteral("User Said") + lineEnd;
    record += report.userNote + lineEnd;
    record += pfMessageText(31) + lineEnd;
    return record;
}

bool pfWriteErrorLog(const QString& path, const ErrorReport& report)
{
    const QByteArray record = errorLogRecord(report).toUtf8();
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append)
           && file.write(record) == record.size() && file.flush();
}

MailMessage errorReportMail(const ErrorReport& report, const QString& address,
                            const QString& executableName, const QByteArray& record)
{
    MailMessage message;
    message.to << address;
    message.subject = QStringLiteral("Remote Error Report From ") + executableName;
    message.body = QStringLiteral("Orvane Sentrix reports error ")
                   + QString::number(report.error.number) + QStringLiteral(" (")
                   + report.error.description + QStringLiteral(")")
                   + QStringLiteral(" occurred in ") + executableName
                   + QStringLiteral(". The attached log file has complete details.");
    message.attachments.push_back(
        {QStringLiteral("sxerror.log"), record, QByteArrayLiteral("text/plain; charset=UTF-8")});
    return message;
}

} // namespace lentaro
