#include "engine/warning.h"

namespace kv {

void warning(const char*, ...) {}

}  // namespace kv
