#include "tests/app/app_fixture.h"

#include "app/keyvalues.h"
#include "app/programstate.h"
#include "platform/registry/Registry.h"

#include <QFile>

namespace lentaro::test {

namespace {

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

void restore(const char* name, const QByteArray& previous)
{
    if (previous.isEmpty())
        qunsetenv(name);
    else
        qputenv(name, previous);
}

} // namespace

void AppTest::SetUp()
{
    ASSERT_TRUE(home_.isValid());
    ASSERT_TRUE(registry_.isValid());
    previousHome_ = qgetenv("LENTARO_HOME");
    previousRegistry_ = qgetenv("LENTARO_REGISTRY_DIR");
    qputenv("LENTARO_HOME", home_.path().toUtf8());
    qputenv("LENTARO_REGISTRY_DIR", registry_.path().toUtf8());

    TraceEnvironment environment;
    environment.programFolder = home_.path();
    environment.executableName = QStringLiteral("Lentaro");
    environment.monitorFolder = home_.filePath(QStringLiteral("monitor"));
    environment.clock = [] { return std::int64_t(1000); };
    environment.memoryStatus = [] { return MemoryStatus{41, 6815744}; };
    runtime_ = std::make_unique<TraceRuntime>(std::move(environment));
    runtimeInPlace_.emplace(TraceRuntime::current, *runtime_);
    promptsInPlace_.emplace(forms::prompts, prompts_);
    engineRunnerInPlace_.emplace(engineRunner, engineRunner_);
    processEndInPlace_.emplace(processEnd, processEnd_);
    programState() = {};
}

void AppTest::TearDown()
{
    programState() = {};
    processEndInPlace_.reset();
    engineRunnerInPlace_.reset();
    promptsInPlace_.reset();
    runtimeInPlace_.reset();
    runtime_.reset();
    restore("LENTARO_HOME", previousHome_);
    restore("LENTARO_REGISTRY_DIR", previousRegistry_);
}

QStringList AppTest::shownMessages() const
{
    QStringList texts;
    for (const forms::MessageBoxRequest& box : prompts_.messageBoxes())
        texts.append(box.text);
    return texts;
}

void AppTest::writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray AppTest::readFile(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void AppTest::storePreference(const QString& name, const registry::Value& value)
{
    ASSERT_TRUE(registry::createKey(registry::RootKey::CurrentUser, utf8(preferencesKey)).ok());
    ASSERT_TRUE(
        registry::setValue(registry::RootKey::CurrentUser, utf8(preferencesKey), utf8(name), value)
            .ok());
}

void AppTest::storePreferenceText(const QString& name, const std::string& text)
{
    storePreference(name, registry::Value::binary(text));
}

std::optional<registry::Value> AppTest::storedPreference(const QString& name) const
{
    registry::Value value;
    if (!registry::getValue(registry::RootKey::CurrentUser, utf8(preferencesKey), utf8(name), value)
             .ok())
        return std::nullopt;
    return value;
}

} // namespace lentaro::test
