#include "platform/cd/CdTime.h"

namespace lentaro::cd {

namespace {

// Division rounding towards minus infinity, for times before the lead-in's end.
std::int64_t floorDivide(std::int64_t dividend, std::int64_t divisor)
{
    const std::int64_t quotient = dividend / divisor;
    return (dividend % divisor != 0 && dividend < 0) ? quotient - 1 : quotient;
}

} // namespace

std::int64_t msAtLsn(Lsn lsn)
{
    return floorDivide((static_cast<std::int64_t>(lsn) + leadInFrames) * 40, 3);
}

std::int64_t sampleAtMs(std::int64_t ms)
{
    return floorDivide(ms * 441, 10) - static_cast<std::int64_t>(leadInFrames) * samplesPerFrame;
}

} // namespace lentaro::cd
