#include "tracefixture.h"

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
    previousPrompts_ = forms::setPromptService(&prompts_);
    makeRuntime(false);
}

void TraceTest::TearDown()
{
    TraceRuntime::makeCurrent(previous_);
    runtime_.reset();
    forms::setPromptService(previousPrompts_);
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
    auto runtime = std::make_unique<TraceRuntime>(std::move(environment));
    TraceRuntime* const replaced = TraceRuntime::makeCurrent(runtime.get());
    if (!runtime_)
        previous_ = replaced;
    runtime_ = std::move(runtime);
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
