#include "trace/callstack.h"

#include <algorithm>
#include <cstddef>

namespace lentaro {

CallStack::CallStack() : entries_(capacity + 1) {}

const CallEntry* CallStack::innermostStored() const
{
    if (depth_ == 0)
        return nullptr;
    return &entries_[static_cast<size_t>(std::min(depth_, capacity))];
}

bool CallStack::topIs(const QString& module, const QString& procedure) const
{
    return topStored() && top().module == module && top().procedure == procedure;
}

void CallStack::push(CallEntry entry)
{
    ++depth_;
    if (topStored())
        entries_[static_cast<size_t>(depth_)] = std::move(entry);
}

void CallStack::pop()
{
    if (depth_ == 0)
        return;
    if (topStored())
        entries_[static_cast<size_t>(depth_)] = CallEntry();
    --depth_;
}

void CallStack::abandon()
{
    const int stored = std::min(depth_, capacity);
    for (int level = 1; level <= stored; ++level)
        entries_[static_cast<size_t>(level)] = CallEntry();
    depth_ = 0;
}

QString CallStack::indentedText(int level) const
{
    const CallEntry& entry = entries_[static_cast<size_t>(level)];
    return QString(level - 1, QLatin1Char('\t')) + entry.module + QStringLiteral(" : ")
           + entry.procedure + QStringLiteral(" : ") + entry.arguments;
}

QString CallStack::entryText(int level) const
{
    if (level == 0)
        return startEntry_;
    return QStringLiteral(" %1 : ").arg(level) + indentedText(level);
}

QStringList CallStack::snapshot() const
{
    QStringList entries;
    const int stored = std::min(depth_, capacity);
    for (int level = 1; level <= stored; ++level)
        entries << entryText(level);
    return entries;
}

std::vector<CallEntry> CallStack::storedEntries() const
{
    const auto stored = static_cast<std::ptrdiff_t>(std::min(depth_, capacity));
    return {entries_.begin() + 1, entries_.begin() + 1 + stored};
}

} // namespace lentaro
