#pragma once
// Whether two paths name one file: what keeps a pass from writing over a file it still reads.

#include <string>

namespace kv {

// True when both paths lead to one existing file, or, while one of them does not exist yet, to
// the same place once symbolic links and "." and ".." are resolved.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace kv
