#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace lentaro {

// One running traced procedure.
struct CallEntry {
    QString module;
    QString procedure;
    QString arguments;
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
    const CallEntry& top() const { return entries_[static_cast<size_t>(depth_)]; }

    // The deepest stored entry (the top one unless the stack is deeper than its capacity);
    // nullptr when no procedure is running.
    const CallEntry* innermostStored() const;

    // True when the stored top entry is exactly this module and procedure.
    bool topIs(const QString& module, const QString& procedure) const;

    void push(CallEntry entry);
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
    std::vector<CallEntry> entries_;
    QString startEntry_;
    int depth_ = 0;
};

} // namespace lentaro
