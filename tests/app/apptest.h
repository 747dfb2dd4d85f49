#pragma once

#include "platform/forms/scriptedprompts.h"
#include "platform/registry/Value.h"
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

// Readable values in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QVariant& value, std::ostream* out)
{
    *out << value.typeName() << ' ' << value.toString().toStdString();
}

namespace lentaro::registry {

inline void PrintTo(const Value& value, std::ostream* out)
{
    *out << "type " << unsigned(value.type) << " \"" << value.bytes() << '"';
}

} // namespace lentaro::registry

namespace lentaro::test {

// A fresh program folder (LENTARO_HOME) and registry folder (LENTARO_REGISTRY_DIR); a trace
// runtime of the test's own, current for the test, that answers every error with Continue;
// prompts scripted (platform/forms); and the exit path reset: not exiting, DeleteTempFiles off, no engine
// runner and a quit action that only counts.
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
    TraceRuntime* previousRuntime_ = nullptr;
    forms::PromptService* previousPrompts_ = nullptr;
};

} // namespace lentaro::test
