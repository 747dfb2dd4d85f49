#pragma once

#include "platform/registry/Value.h"
#include "trace/traceruntime.h"

#include <QByteArray>
#include <QString>
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

// A fresh program folder (LENTARO_HOME) and registry folder (LENTARO_REGISTRY_DIR), and a trace
// runtime of the test's own, current for the test, that answers every error with Continue.
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    TraceRuntime& runtime() { return *runtime_; }
    // Number of the last error that reached the central handler; 0 when none did.
    std::int32_t trappedError() const { return runtime_->lastError().number; }

    // A preference stored as the given value, bypassing the program's own writing.
    void storePreference(const QString& name, const registry::Value& value);
    void storePreferenceText(const QString& name, const std::string& text);
    // The stored preference; nothing when it is missing.
    std::optional<registry::Value> storedPreference(const QString& name) const;

    QString home() const { return home_.path(); }

private:
    QTemporaryDir home_;
    QTemporaryDir registry_;
    std::unique_ptr<TraceRuntime> runtime_;
    TraceRuntime* previous_ = nullptr;
    QByteArray previousHome_;
    QByteArray previousRegistry_;
};

} // namespace lentaro::test
