#include "tests/app/traced_calls.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

// Entries with their arguments, without the memory and user fields; no dialog for an error.
constexpr char settings[] = "[log file]\nWrite To Disk=1\nCapture To Disk=1\nLog File=trace.log\n"
                            "[include]\nResources=0\nMemory=0\nUser=0\n"
                            "[preferences]\nSilent Run=1\n";
constexpr char entryMark[] = "] ->";

} // namespace

TracedCalls::TracedCalls(const QString& programFolder)
    : log_(QDir(programFolder).filePath(QStringLiteral("trace.log")))
{
    QFile ini(QDir(programFolder).filePath(QStringLiteral("SXCLIENT.INI")));
    if (ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ini.write(settings);
    TraceEnvironment environment;
    environment.programFolder = programFolder;
    environment.executableName = QStringLiteral("Lentaro");
    environment.monitorFolder = QDir(programFolder).filePath(QStringLiteral("monitor"));
    environment.clock = [] { return std::int64_t(1000); };
    environment.memoryStatus = [] { return MemoryStatus{41, 6815744}; };
    runtime_ = std::make_unique<TraceRuntime>(std::move(environment));
    inPlace_.emplace(TraceRuntime::current, *runtime_);
}

TracedCalls::~TracedCalls() = default;

void TracedCalls::clear()
{
    clearedAt_ = QFile(log_).size();
}

QStringList TracedCalls::entered() const
{
    QFile file(log_);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(clearedAt_))
        return {};
    QStringList entries;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"))) {
        const qsizetype at = line.indexOf(QLatin1String(entryMark));
        if (at < 0)
            continue;
        QString entry = line.mid(at + qsizetype(sizeof entryMark) - 1);
        while (entry.startsWith(QLatin1Char('\t')))
            entry.remove(0, 1);
        entries << entry;
    }
    return entries;
}

bool TracedCalls::reached(const QString& call) const
{
    for (const QString& entry : entered()) {
        if (entry == call || entry.startsWith(call + QStringLiteral(" : ")))
            return true;
    }
    return false;
}

void walk(TracedCalls& calls, const std::vector<Wiring>& controls)
{
    for (const Wiring& row : controls) {
        SCOPED_TRACE(row.control.toStdString());
        calls.clear();
        row.use();
        if (!row.reaches.isEmpty()) {
            EXPECT_TRUE(calls.reached(row.reaches))
                << row.reaches.toStdString() << " not among:\n"
                << calls.entered().join(QLatin1Char('\n')).toStdString();
        }
        if (row.changed) {
            EXPECT_TRUE(row.changed());
        }
    }
}

} // namespace lentaro::test
