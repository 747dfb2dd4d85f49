#include "engine/same_file.h"

#include <filesystem>
#include <system_error>

namespace kv {

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  if (std::filesystem::equivalent(a, b, error)) return true;
  const std::filesystem::path first = std::filesystem::weakly_canonical(a, error);
  if (error) return false;
  const std::filesystem::path second = std::filesystem::weakly_canonical(b, error);
  return !error && first == second;
}

}  // namespace kv
