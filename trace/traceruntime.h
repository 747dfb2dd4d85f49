#pragma once

#include "platform/shell/service.h"
#include "trace/callstack.h"
#include "trace/errorreport.h"
#include "trace/runtimeerror.h"
#include "trace/traceargument.h"
#include "trace/traceenvironment.h"
#include "trace/traceoutputs.h"
#include "trace/tracesettings.h"

#include <QString>

#include <cstdint>
#include <initializer_list>

namespace lentaro {

// The trace runtime: the call stack of the running traced procedures, their trace lines, and
// the central error handler. It starts itself on the first trace call or error, from
// SXCLIENT.INI in the program folder. All calls come from the user-interface thread (checked
// in debug builds). Procedures reach it through TraceScope (tracescope.h), not directly.
class TraceRuntime
{
public:
    explicit TraceRuntime(TraceEnvironment environment = TraceEnvironment::fromSystem());

    TraceRuntime(const TraceRuntime&) = delete;
    TraceRuntime& operator=(const TraceRuntime&) = delete;

    // The runtime every trace call goes to: the program's own unless replaced. The program's
    // own reads the system's environment and is never destroyed.
    static Service<TraceRuntime> current;

    // Reads the settings, opens the outputs and writes the start line; once per runtime.
    void sxSTART();

    // Entry of a traced procedure: module ("frmTrim"), declared name with kind
    // ("Sub Form_Load") and arguments ({{"Cancel", 0}, {"UnloadMode", 1}}, shown as
    // "(Cancel=0, UnloadMode=1)"). The names are string literals: the stack keeps them, not
    // copies; the argument values are copied, and become text only when something shows them.
    void sxPUSH(const char* module, const char* procedure,
                std::initializer_list<TraceArg> arguments = {});

    // Exit of a traced procedure, with the names of its entry. The exit line shows the
    // arguments stored at entry.
    void sxPOP(const char* module, const char* procedure);

    // The central error handler, called from inside a catch block: records the pending
    // exception as the error of `procedure` in `module`, traces it and hands it to the
    // reporter in use (errorReporter). Returns the user's choice (Continue when no dialog is
    // shown).
    ErrorChoice sxERROR(const QString& module, const QString& procedure);

    // Set by the error dialog while it is shown; trace calls and further errors wait meanwhile.
    void setErrorDialogUp(bool up) { errorDialogUp_ = up; }
    bool errorDialogUp() const { return errorDialogUp_; }

    bool started() const { return started_; }
    const TraceSettings& settings() const { return settings_; }
    const CallStack& callStack() const { return stack_; }
    std::int64_t lineCount() const { return lineCount_; }
    bool insideDevelopmentEnvironment() const { return environment_.developmentEnvironment; }
    const QString& executableName() const { return environment_.executableName; }
    const QString& programFolder() const { return environment_.programFolder; }
    // The most recent intercepted error.
    const ErrorRecord& lastError() const { return lastError_; }

private:
    // Debug builds stop a call from another thread: the runtime is not shared between threads.
    static void checkUserInterfaceThread();
    std::int64_t sinceStart() const;
    void waitWhileErrorDialogUp();
    QString pfFormatTraceLine(std::int64_t compensation, bool exit);
    void unbalancedExit(const char* module, const char* procedure);
    ErrorRecord recordError(const RuntimeError& error, const QString& module,
                            const QString& procedure) const;
    void report(ErrorReport& report, ErrorChoice& choice);
    void pfErr(const RuntimeError& error, const QString& routine);

    TraceEnvironment environment_;
    TraceSettings settings_;
    TraceOutputs outputs_;
    CallStack stack_;
    ErrorRecord lastError_;

    bool started_ = false;
    bool errorDialogUp_ = false;
    QString prefix_;
    std::int64_t startTick_ = 0;
    std::int64_t lineCount_ = 0;
    // Compensation for the monitor's own delay on the first entry and exit lines.
    std::int64_t entryCompensation_ = 0;
    std::int64_t exitCompensation_ = 0;
    std::int64_t mark_ = 0;
};

// The calls of the current runtime.
void sxSTART();
void sxPUSH(const char* module, const char* procedure,
            std::initializer_list<TraceArg> arguments = {});
void sxPOP(const char* module, const char* procedure);
ErrorChoice sxERROR(const QString& module, const QString& procedure);

} // namespace lentaro
