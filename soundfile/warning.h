#pragma once
// The one routine the format handlers hand their warnings to. Warnings never change a result;
// this system shows and records none of them.

namespace kv {

void warning(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kv
