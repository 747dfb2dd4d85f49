#include "trace/tracesettings.h"

#include "trace/inifile.h"

#include <QStringList>

#include <cmath>
#include <limits>

namespace lentaro {

namespace {

// Whole-number settings round half to even: "2.5" is 2, "3.5" is 4.
double rounded(double value)
{
    return std::nearbyint(value);
}

bool onWhenNotZero(const QString& text)
{
    return rounded(leadingNumber(text)) != 0;
}

bool onWhenPositive(const QString& text)
{
    return leadingNumber(text) > 0;
}

// A 16-bit setting of at least `minimum`; an unusable value takes the default and is noted.
int boundedSetting(const IniFile& ini, const char* key, int fallback, int minimum,
                   QStringList& problems)
{
    const QString text = ini.value(QStringLiteral("CircularLog"), QLatin1String(key),
                                   QString::number(fallback), 128);
    const double value = rounded(leadingNumber(text));
    if (value >= minimum && value <= std::numeric_limits<std::int16_t>::max())
        return static_cast<int>(value);
    problems << QStringLiteral("[CircularLog] %1=%2 (%3 is used)")
                    .arg(QLatin1String(key), text, QString::number(fallback));
    return fallback;
}

QString logFilePath(const QString& programFolder, const QString& value)
{
    if (value.isEmpty())
        return programFolder + QStringLiteral("/error.log");
    if (!value.contains(QLatin1Char('/')))
        return programFolder + QLatin1Char('/') + value;
    return value;
}

} // namespace

QString pfIniFileName()
{
    return QStringLiteral("SXCLIENT.INI");
}

double leadingNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    const auto digitsFrom = [&](qsizetype at) {
        while (at < trimmed.size() && trimmed.at(at).isDigit())
            ++at;
        return at;
    };
    if (end < trimmed.size()
        && (trimmed.at(end) == QLatin1Char('-') || trimmed.at(end) == QLatin1Char('+')))
        ++end;
    end = digitsFrom(end);
    if (end < trimmed.size() && trimmed.at(end) == QLatin1Char('.'))
        end = digitsFrom(end + 1);
    if (end < trimmed.size()
        && (trimmed.at(end) == QLatin1Char('e') || trimmed.at(end) == QLatin1Char('E'))) {
        qsizetype exponent = end + 1;
        if (exponent < trimmed.size()
            && (trimmed.at(exponent) == QLatin1Char('-')
                || trimmed.at(exponent) == QLatin1Char('+')))
            ++exponent;
        const qsizetype exponentEnd = digitsFrom(exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }
    bool ok = false;
    const double value = trimmed.left(end).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

TraceSettings readTraceSettings(const QString& programFolder)
{
    const IniFile ini = IniFile::read(programFolder + QLatin1Char('/') + pfIniFileName());
    const auto text = [&ini](const char* section, const char* key, const char* fallback,
                             int maxChars) {
        return ini.value(QLatin1String(section), QLatin1String(key), QLatin1String(fallback),
                         maxChars);
    };

    TraceSettings settings;
    QStringList problems;
    settings.circularLog = text("Log File", "CircularLog", "0", 5).startsWith(QLatin1Char('1'));
    settings.circularFile =
        programFolder + QLatin1Char('/') + text("CircularLog", "FileName", "circ0001.log", 128);
    if (settings.circularLog) {
        // A record needs room for its CR LF; a ring needs at least one record.
        settings.recordSize = boundedSetting(ini, "RecordSize", 512, 2, problems);
        settings.maxRecords = boundedSetting(ini, "MaxRecords", 100, 1, problems);
    }
    settings.problem = problems.join(QStringLiteral(", "));

    if (!ini.exists())
        return settings;

    settings.forceSystemInfo = onWhenPositive(text("preferences", "Force System Info", "", 8));
    settings.emailAddress = text("email", "Address", "", 255);
    settings.writeToDisk = onWhenPositive(text("log file", "Write To Disk", "", 8));
    settings.captureToDisk = onWhenPositive(text("log file", "Capture To Disk", "", 8));
    if (settings.writeToDisk)
        settings.logFile = logFilePath(programFolder, text("log file", "Log File", "", 128));
    settings.silentRun = onWhenNotZero(text("preferences", "Silent Run", "0", 2));
    settings.includeResources = onWhenNotZero(text("include", "Resources", "1", 2));
    settings.includeMemory = onWhenNotZero(text("include", "Memory", "1", 2));
    settings.includeArguments = onWhenNotZero(text("include", "Arguments", "1", 2));
    settings.includeUser = onWhenNotZero(text("include", "User", "1", 2));
    settings.quillmarkDatabase = text("Quillmark", "Database", "", 255);
    settings.quillmarkAddress = text("Quillmark", "Address", "", 255);
    settings.quillmarkProject = text("Quillmark", "Project", "", 255);
    settings.quillmarkAssignedTo = text("Quillmark", "Assigned To", "", 255);
    settings.attachLog = onWhenNotZero(text("Ferrow", "Attach Log", "1", 2));
    return settings;
}

} // namespace lentaro
