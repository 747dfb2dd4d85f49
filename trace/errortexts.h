#pragma once

#include <QString>

#include <cstdint>

namespace lentaro {

// The category code under which the error dialog, the logs and the reports file an error number.
std::int16_t pfErrorCategory(std::int32_t number);

// The readable name of a category code; "Unknown Error Class" for a code without one.
QString pfCategoryText(std::int16_t code);

// The runtime's numbered fixed texts (labels, captions, messages); empty for a number without one.
// 20 and 31 (start and stop line) carry the current date and time.
QString pfMessageText(int n);

// The trace runtime's own version text, as the start and stop lines show it.
QString runtimeVersionText();

} // namespace lentaro
