#include "trace/callstack.h"

#include <algorithm>
#include <cstring>

namespace lentaro {

void CallFrame::enter(const char* module, const char* procedure,
                      std::initializer_list<TraceArg> arguments)
{
    module_ = module;
    procedure_ = procedure;
    argumentText_ = QString();
    arguments_.assign(arguments.begin(), arguments.end());
}

void CallFrame::leave()
{
    module_ = "";
    procedure_ = "";
    arguments_.clear();
    argumentText_ = QString();
}

const QString& CallFrame::argumentText() const
{
    if (argumentText_.isNull())
        argumentText_ = traceArguments(arguments_);
    return argumentText_;
}

CallEntry CallFrame::entry() const
{
    return {QString::fromUtf8(module_), QString::fromUtf8(procedure_), argumentText()};
}

CallStack::CallStack() : frames_(capacity + 1)
{
}

const CallFrame* CallStack::innermostStored() const
{
    if (depth_ == 0)
        return nullptr;
    return &frames_[static_cast<size_t>(std::min(depth_, capacity))];
}

bool CallStack::topIs(const char* module, const char* procedure) const
{
    return topStored() && std::strcmp(top().module(), module) == 0
           && std::strcmp(top().procedure(), procedure) == 0;
}

void CallStack::push(const char* module, const char* procedure,
                     std::initializer_list<TraceArg> arguments)
{
    ++depth_;
    if (topStored())
        frames_[static_cast<size_t>(depth_)].enter(module, procedure, arguments);
}

void CallStack::pop()
{
    if (depth_ == 0)
        return;
    if (topStored())
        frames_[static_cast<size_t>(depth_)].leave();
    --depth_;
}

void CallStack::abandon()
{
    const int stored = std::min(depth_, capacity);
    for (int level = 1; level <= stored; ++level)
        frames_[static_cast<size_t>(level)].leave();
    depth_ = 0;
}

QString CallStack::indentedText(int level) const
{
    const CallFrame& frame = frames_[static_cast<size_t>(level)];
    return QString(level - 1, QLatin1Char('\t')) + QString::fromUtf8(frame.module())
           + QStringLiteral(" : ") + QString::fromUtf8(frame.procedure()) + QStringLiteral(" : ")
           + frame.argumentText();
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
    std::vector<CallEntry> entries;
    const int stored = std::min(depth_, capacity);
    for (int level = 1; level <= stored; ++level)
        entries.push_back(frames_[static_cast<size_t>(level)].entry());
    return entries;
}

} // namespace lentaro
