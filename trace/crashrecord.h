#pragma once

namespace lentaro {

class TraceRuntime;

// While it lives, a crash (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) appends an error record
// to the error log before the process dies of it, whether or not the trace settings write
// other errors to it (Write To Disk): the record the central handler writes, for run-time error 51 "Internal error" naming
// the signal, in the procedure that was running, with the call tree of the traced procedures
// (arguments, which cannot be made into text at that moment, shown as "(...)"), no system
// report and no user's note. Everything the handler writes is prepared beforehand or made
// without allocating, and goes out through write(2). The process then dies of the signal as it
// would have: what handled the signal before (the default action, a sanitizer's report) does.
class CrashRecord
{
public:
    // Starts the runtime (sxSTART) to read its settings.
    explicit CrashRecord(TraceRuntime& runtime);
    ~CrashRecord();

    CrashRecord(const CrashRecord&) = delete;
    CrashRecord& operator=(const CrashRecord&) = delete;

private:
    bool installed_ = false;
};

} // namespace lentaro
