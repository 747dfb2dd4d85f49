#pragma once

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace lentaro::registry {

// "what path: reason" for the failed system call that set errno.
inline std::string systemError(const std::string& what, const std::filesystem::path& path)
{
    return what + " " + path.string() + ": " + std::strerror(errno);
}

} // namespace lentaro::registry
