#include "trace/inifile.h"

#include "platform/registry/SettingsFile.h"

#include <QFile>

namespace lentaro {

namespace {

QString unquoted(const QString& value)
{
    if (value.size() >= 2
        && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
        && value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

IniFile IniFile::read(const QString& path)
{
    IniFile ini;
    registry::FileHandle handle;
    std::string bytes, problem;
    if (registry::readSettingsFile(QFile::encodeName(path).toStdString(), handle, bytes, problem)
        != registry::ReadOutcome::Ok)
        return ini;
    ini.exists_ = true;

    QString section;
    const QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            section = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        ini.entries_.push_back(
            {section, line.left(equals).trimmed(), unquoted(line.mid(equals + 1).trimmed())});
    }
    return ini;
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback,
                       int maxChars) const
{
    for (const Entry& entry : entries_) {
        if (entry.section.compare(section, Qt::CaseInsensitive) == 0
            && entry.key.compare(key, Qt::CaseInsensitive) == 0) {
            return entry.value.left(maxChars);
        }
    }
    return fallback.left(maxChars);
}

} // namespace lentaro
