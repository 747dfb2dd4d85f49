#pragma once

#include "platform/forms/scriptedprompts.h"
#include "tests/support/qt_printers.h"
#include "trace/traceruntime.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>

namespace lentaro::test {

// A fresh program folder (LENTARO_HOME) with a runtime of its own made current, the executable
// named "Lentaro", a clock the test sets and a fixed memory status (41 % load, 6815744 bytes free).
class TraceTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The test's runtime, current from SetUp on; it starts at the first trace call, so a test
    // writes SXCLIENT.INI before that.
    TraceRuntime& runtime() { return *runtime_; }

    // Replaces the runtime by one that runs inside the debugger (before any trace call).
    void useDevelopmentEnvironment();

    void writeIni(const QString& text);
    void writeFile(const QString& name, const QByteArray& bytes);
    QByteArray readFile(const QString& name) const;
    // The plain log's lines, without their CR LF.
    QStringList logLines(const QString& name = QStringLiteral("error.log")) const;
    QString path(const QString& name) const;

    QTemporaryDir home_;
    QString monitorFolder_;
    std::int64_t now_ = 1000;
    // Every message box the runtime shows, recorded and answered from a queue.
    forms::ScriptedPrompts prompts_;

private:
    void makeRuntime(bool developmentEnvironment);

    std::optional<ScopedOverride<forms::PromptService>> promptsInPlace_;
    std::unique_ptr<TraceRuntime> runtime_;
    std::optional<ScopedOverride<TraceRuntime>> runtimeInPlace_;
    QByteArray previousHome_;
};

// Writes and captures every trace line in error.log, with every include flag on.
inline const QString plainLogIni =
    QStringLiteral("[log file]\nWrite To Disk=1\nCapture To Disk=1\n");

} // namespace lentaro::test
