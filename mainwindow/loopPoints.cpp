#include "mainwindow/loopPoints.h"

#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <algorithm>

namespace lentaro {

namespace {

constexpr char module[] = "LoopPoints";

} // namespace

void loopPoints::Clear()
{
    TraceScope trace(module, "Sub Clear");
    trace.run([&] {
        records_.clear();
        keys_.clear();
    });
}

loopPoints::Record loopPoints::Add(const QString& Key, const QString& startTimeMs,
                                   const QString& startTimeTTMMSS, const QString& sKey)
{
    TraceScope trace(module, "Function Add",
                     {{"Key", Key},
                      {"startTimeMs", startTimeMs},
                      {"startTimeTTMMSS", startTimeTTMMSS},
                      {"sKey", sKey}});
    return trace.run(Record(), [&] {
        if (!sKey.isEmpty() && std::find(keys_.begin(), keys_.end(), sKey) != keys_.end())
            throw RuntimeError(errorNumbers::keyAlreadyUsed);
        auto record = std::make_shared<loopPoint>(loopPoint{Key, startTimeMs, startTimeTTMMSS});
        records_.push_back(record);
        keys_.push_back(sKey);
        return record;
    });
}

std::size_t loopPoints::positionOf(int index) const
{
    if (index < 1 || static_cast<std::size_t>(index) > records_.size())
        throw RuntimeError(errorNumbers::subscriptOutOfRange);
    return static_cast<std::size_t>(index) - 1;
}

std::size_t loopPoints::positionOf(const QString& key) const
{
    const auto found = key.isEmpty() ? keys_.end() : std::find(keys_.begin(), keys_.end(), key);
    if (found == keys_.end())
        throw RuntimeError(errorNumbers::invalidCall);
    return static_cast<std::size_t>(found - keys_.begin());
}

loopPoints::Record loopPoints::Item(int index) const
{
    TraceScope trace(module, "Property Get Item", {{"vntIndexKey", index}});
    return trace.run(Record(), [&] { return records_[positionOf(index)]; });
}

loopPoints::Record loopPoints::Item(const QString& key) const
{
    TraceScope trace(module, "Property Get Item", {{"vntIndexKey", key}});
    return trace.run(Record(), [&] { return records_[positionOf(key)]; });
}

int loopPoints::Count() const
{
    TraceScope trace(module, "Property Get Count");
    return trace.run(0, [&] { return static_cast<int>(records_.size()); });
}

void loopPoints::erase(std::size_t position)
{
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(position));
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(position));
}

void loopPoints::Remove(int index)
{
    TraceScope trace(module, "Sub Remove", {{"vntIndexKey", index}});
    trace.run([&] { erase(positionOf(index)); });
}

void loopPoints::Remove(const QString& key)
{
    TraceScope trace(module, "Sub Remove", {{"vntIndexKey", key}});
    trace.run([&] { erase(positionOf(key)); });
}

} // namespace lentaro
