#pragma once

#include "app/enginerunner.h"
#include "app/exitprogram.h"
#include "platform/forms/scriptedprompts.h"
#include "platform/registry/Value.h"
#include "tests/support/qt_printers.h"
#include "trace/traceruntime.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace lentaro::registry {

inline void PrintTo(const Value& value, std::ostream* out)
{
    *out << "type " << unsigned(value.type) << " \"" << value.bytes() << '"';
}

} // namespace lentaro::registry

namespace lentaro::test {

// An engine runner with no library behind it: it binds nothing and no pass ever ends.
class IdleEngineRunner : public EngineRunner
{
public:
    std::int32_t init(const QString&) override { return 1; }
    void registerCallBack(PlayFileCallBack) override {}
    std::int32_t start(const EnginePass&) override { return 0; }
    std::int32_t stop() override { return 0; }
    std::int32_t cleanUp() override { return 0; }
};

// Counts the ends of the process instead of ending it.
class CountedProcessEnd : public ProcessEnd
{
public:
    explicit CountedProcessEnd(int& count) : count_(count) {}
    void endProcess() override { ++count_; }

private:
    int& count_;
};

// A fresh program folder (LENTARO_HOME) and registry folder (LENTARO_REGISTRY_DIR); a trace
// runtime of the test's own, current for the test, that answers every error with Continue;
// prompts scripted (platform/forms); the program state as the program starts; an engine runner
// that does nothing; and an end of the process that only counts.
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    TraceRuntime& runtime() { return *runtime_; }
    // The error the central handler saw last (number 0: none).
    const ErrorRecord& lastError() const { return runtime_->lastError(); }
    std::int32_t trappedError() const { return lastError().number; }

    QString home() const { return home_.path(); }
    QString registryFolder() const { return registry_.path(); }
    QString path(const QString& name) const { return home_.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes);
    QByteArray readFile(const QString& name) const;

    // A preference stored as the given value, bypassing the program's own writing.
    void storePreference(const QString& name, const registry::Value& value);
    void storePreferenceText(const QString& name, const std::string& text);
    // The stored preference; nothing when it is missing.
    std::optional<registry::Value> storedPreference(const QString& name) const;

    // The texts of the message boxes shown so far, oldest first.
    QStringList shownMessages() const;

    forms::ScriptedPrompts prompts_;
    int quits_ = 0;

private:
    QTemporaryDir home_;
    QTemporaryDir registry_;
    QByteArray previousHome_;
    QByteArray previousRegistry_;
    std::unique_ptr<TraceRuntime> runtime_;
    IdleEngineRunner engineRunner_;
    CountedProcessEnd processEnd_{quits_};
    std::optional<ScopedOverride<TraceRuntime>> runtimeInPlace_;
    std::optional<ScopedOverride<forms::PromptService>> promptsInPlace_;
    std::optional<ScopedOverride<EngineRunner>> engineRunnerInPlace_;
    std::optional<ScopedOverride<ProcessEnd>> processEndInPlace_;
};

} // namespace lentaro::test
