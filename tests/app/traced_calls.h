#pragma once

#include "platform/shell/service.h"
#include "trace/traceruntime.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace lentaro::test {

// The traced procedures the program enters, as the trace runtime writes them: a runtime of its
// own, current while this lives, writing every entry into trace.log in the program folder
// (errors answered silently). A test proves that a control reaches its procedure by the entry
// line the runtime wrote when the control was pressed.
class TracedCalls
{
public:
    // Writes the program folder's settings file, which the runtime reads at its first call; made
    // where no traced procedure runs, so that none leaves under another runtime.
    explicit TracedCalls(const QString& programFolder);
    ~TracedCalls();

    TracedCalls(const TracedCalls&) = delete;
    TracedCalls& operator=(const TracedCalls&) = delete;

    // Forgets what was entered so far.
    void clear();
    // The entries since clear(), oldest first: "module : Sub name : (arguments)".
    QStringList entered() const;
    // Whether one of them is `call`: "frmTrim : Sub cmdZoom_Click", whatever its arguments, or
    // "frmTrim : Sub cmdNext_Click : (Index=1)" with them.
    bool reached(const QString& call) const;
    // The error the runtime's central handler saw last (number 0: none).
    const ErrorRecord& lastError() const { return runtime_->lastError(); }

private:
    QString log_;
    qint64 clearedAt_ = 0;
    std::unique_ptr<TraceRuntime> runtime_;
    std::optional<ScopedOverride<TraceRuntime>> inPlace_;
};

// One control of a window as a person uses it, and what shows that it reached its procedure.
struct Wiring {
    QString control;           // what is used, and how: "Prev clicked", "Alt+T"
    std::function<void()> use; // clicks, types into or presses it
    QString reaches;           // the traced procedure it reaches (TracedCalls::reached); or ""
    std::function<bool()> changed = {}; // and, or instead, the state it changes
};

// Uses each control in turn, checking that it reached its procedure.
void walk(TracedCalls& calls, const std::vector<Wiring>& controls);

} // namespace lentaro::test
