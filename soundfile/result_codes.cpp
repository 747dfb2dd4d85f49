#include "soundfile/result_codes.h"

#include <array>

namespace kv {

namespace {
constexpr std::array<const char*, 14> kTexts = {
    "",
    "Failure",
    "Out of memory",
    "Incorrect command line",
    "Error in calling program",
    "Internal program error",
    "File input or output error",
    "Malformed input data",
    "Not implemented yet",
    "Unsupported soundfile format",
    "No sound data in file",
    "Hardware error",
    "End of file",
    "Dropped samples",
};
}  // namespace

const char* resultText(int32_t code) {
  if (code < 0 || code >= static_cast<int32_t>(kTexts.size())) return "";
  return kTexts[static_cast<std::size_t>(code)];
}

}  // namespace kv
