#pragma once

#include <cstdint>

namespace lentaro {

// The engine passes the road started and the ends reported for them. An end carries nothing that
// tells its pass; the runner takes passes into the engine one after the other, so the latest
// pass's end is the one that leaves none outstanding.
class PassCount
{
public:
    void started() { ++started_; }
    // An end arrived with the engine's result: true when it is the latest pass's. An end with
    // no pass outstanding (one the road never started) counts for nothing.
    bool ended(std::int32_t result)
    {
        if (ended_ >= started_)
            return false;
        ++ended_;
        lastResult_ = result;
        return ended_ == started_;
    }
    bool outstanding() const { return ended_ < started_; }
    // The engine's result for the latest pass that ended.
    std::int32_t lastResult() const { return lastResult_; }

private:
    long long started_ = 0;
    long long ended_ = 0;
    std::int32_t lastResult_ = 0;
};

} // namespace lentaro
