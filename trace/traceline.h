#pragma once

#include "trace/memorystatus.h"

#include <QString>

#include <cstdint>

namespace lentaro {

// Elapsed milliseconds as tens of seconds with four decimals: 1234 ms is "00000.1234";
// the whole part grows past five digits when it must.
QString pfDecimalSeparator(std::int64_t elapsedMs);

// The line number field: at least five digits ("00042", "100000").
QString lineCounterText(std::int64_t count);

// The memory part of a trace line: " : [res = 41%, mem = 6815744]", " : [res = 41%]",
// " : [mem = 6815744]", or empty when neither is asked for.
QString memorySuffix(bool resources, bool memory, const MemoryStatus& status);

// The user text of a trace line; empty in this program.
QString pfNoOp();

} // namespace lentaro
