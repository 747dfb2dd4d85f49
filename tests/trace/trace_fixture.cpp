#include "tests/trace/trace_fixture.h"

#include <QDir>
#include <QFile>

namespace lentaro::test {

void TraceTest::SetUp()
{
    ASSERT_TRUE(home_.isValid());
    previousHome_ = qgetenv("LENTARO_HOME");
    qputenv("LENTARO_HOME", home_.path().toUtf8());
    monitorFolder_ = home_.filePath(QStringLiteral("monitor"));
    QDir().mkpath(monitorFolder_);
    promptsInPlace_.emplace(forms::prompts, prompts_);
    makeRuntime(false);
}

void TraceTest::TearDown()
{
    runtimeInPlace_.reset();
    runtime_.reset();
    promptsInPlace_.reset();
    if (previousHome_.isEmpty())
        qunsetenv("LENTARO_HOME");
    else
        qputenv("LENTARO_HOME", previousHome_);
}

void TraceTest::makeRuntime(bool developmentEnvironment)
{
    TraceEnvironment environment;
    environment.programFolder = home_.path();
    environment.executableName = QStringLiteral("Lentaro");
    environment.developmentEnvironment = developmentEnvironment;
    environment.monitorFolder = monitorFolder_;
    environment.clock = [this] { return now_; };
    environment.memoryStatus = [] { return MemoryStatus{41, 6815744}; };
    runtimeInPlace_.reset();
    runtime_ = std::make_unique<TraceRuntime>(std::move(environment));
    runtimeInPlace_.emplace(TraceRuntime::current, *runtime_);
}

void TraceTest::useDevelopmentEnvironment()
{
    makeRuntime(true);
}

void TraceTest::writeIni(const QString& text)
{
    writeFile(QStringLiteral("SXCLIENT.INI"), text.toUtf8());
}

void TraceTest::writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray TraceTest::readFile(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList TraceTest::logLines(const QString& name) const
{
    QStringList lines = QString::fromUtf8(readFile(name)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QString TraceTest::path(const QString& name) const
{
    return home_.filePath(name);
}

} // namespace lentaro::test
