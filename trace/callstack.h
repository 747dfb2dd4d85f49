#pragma once

#include "trace/traceargument.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <vector>

namespace lentaro {

// One running traced procedure as an error report keeps it.
struct CallEntry {
    QString module;
    QString procedure;
    QString arguments;
};

// One running traced procedure as the stack holds it: the names as given (string literals)
// and the argument values, whose text is made the first time something shows it.
class CallFrame
{
public:
    void enter(const char* module, const char* procedure,
               std::initializer_list<TraceArg> arguments);
    // Forgets the procedure; the room for its arguments stays for the next one at this level.
    void leave();

    const char* module() const { return module_; }
    const char* procedure() const { return procedure_; }
    bool hasArguments() const { return !arguments_.empty(); }
    // "(a=1, b=x)".
    const QString& argumentText() const;
    CallEntry entry() const;

private:
    const char* module_ = "";
    const char* procedure_ = "";
    std::vector<TraceArg> arguments_;
    mutable QString argumentText_;
};

// The procedures that are running, outermost at level 1. Levels beyond `capacity` are counted
// but not stored; level 0 holds the runtime's start entry.
class CallStack
{
public:
    static constexpr int capacity = 1000;

    CallStack();

    void setStartEntry(const QString& text) { startEntry_ = text; }

    int depth() const { return depth_; }

    // True while the current level has a stored entry (depth 1 to capacity).
    bool topStored() const { return depth_ >= 1 && depth_ <= capacity; }
    const CallFrame& top() const { return frames_[static_cast<size_t>(depth_)]; }
    // A stored level's entry, 1 to the deepest stored one. Reads only what push wrote, so a
    // crash handler may read it.
    const CallFrame& frame(int level) const { return frames_[static_cast<size_t>(level)]; }

    // The deepest stored entry (the top one unless the stack is deeper than its capacity);
    // nullptr when no procedure is running.
    const CallFrame* innermostStored() const;

    // True when the stored top entry is exactly this module and procedure.
    bool topIs(const char* module, const char* procedure) const;

    // The names must outlive the entry; the argument values are copied.
    void push(const char* module, const char* procedure,
              std::initializer_list<TraceArg> arguments = {});
    void pop();

    // Forgets every running procedure.
    void abandon();

    // The entry of a level as the call tree shows it: " 3 : " + the indented text;
    // level 0 is the start entry.
    QString entryText(int level) const;

    // Module, procedure and arguments of a stored level, after (level - 1) tabs.
    QString indentedText(int level) const;

    // entryText of levels 1 to the deepest stored one.
    QStringList snapshot() const;

    // The entries of levels 1 to the deepest stored one.
    std::vector<CallEntry> storedEntries() const;

private:
    std::vector<CallFrame> frames_;
    QString startEntry_;
    int depth_ = 0;
};

} // namespace lentaro
