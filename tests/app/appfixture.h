#pragma once

#include "app/messageprompt.h"
#include "trace/traceruntime.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace lentaro::test {

// Records every message box instead of showing it.
class ScriptedPrompt : public MessagePrompt
{
public:
    void showOk(const QString& text) override { shown.append(text); }

    QStringList shown;
};

// Answers the trace runtime's own boxes with Cancel and keeps nothing.
class SilentBoxes : public MessageBoxes
{
public:
    bool confirm(const QString&, const QString&) override { return false; }
    void critical(const QString&, const QString&) override {}
};

// A fresh program folder (LENTARO_HOME) and registry folder (LENTARO_REGISTRY_DIR), a trace
// runtime of the test's own, message boxes recorded, and the exit path reset: not exiting,
// DeleteTempFiles off, no engine runner and a quit action that only counts.
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString home() const { return home_.path(); }
    QString path(const QString& name) const { return home_.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes);
    QByteArray readFile(const QString& name) const;

    // The error the central handler saw last (number 0: none).
    const ErrorRecord& lastError() const { return runtime_->lastError(); }

    ScriptedPrompt prompt_;
    int quits_ = 0;

private:
    QTemporaryDir home_;
    QTemporaryDir registry_;
    QByteArray previousHome_;
    QByteArray previousRegistry_;
    SilentBoxes boxes_;
    std::unique_ptr<TraceRuntime> runtime_;
    TraceRuntime* previousRuntime_ = nullptr;
    MessagePrompt* previousPrompt_ = nullptr;
};

// A connection of the test's own to a database file, for building fixtures and reading back.
class TestDatabase
{
public:
    explicit TestDatabase(const QString& path);
    ~TestDatabase();

    // Runs an SQL script; fails the test when a statement fails.
    void run(const QString& script);
    // The one value the query gives (an invalid QVariant when it gives no row).
    QVariant value(const QString& sql);
    // Every row of the query, its values joined by "|", Null as "<null>".
    QStringList rows(const QString& sql);
    // The table's fields as "name type default" ("lastPct INTEGER 50", "WAV TEXT -").
    QStringList fields(const QString& table);
    // The whole database, structure and rows, as text, for comparing two states.
    QStringList dump();

private:
    QString connection_;
    QSqlDatabase db_;
};

} // namespace lentaro::test
