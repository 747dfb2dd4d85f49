#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace lentaro::test {

// Things other than a regular file that can stand where the program expects a settings file.
struct NonRegularFile {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
};

inline void makeSocket(const std::filesystem::path& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.string().size() >= sizeof address.sun_path)
        throw std::runtime_error("socket path too long: " + path.string());
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    // The socket's name stays in the folder after the socket is closed.
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!bound)
        throw std::runtime_error("cannot make a socket at " + path.string());
}

inline std::vector<NonRegularFile> nonRegularFiles()
{
    namespace fs = std::filesystem;
    return {
        {"named pipe with no writer",
         [](const fs::path& p) {
             if (::mkfifo(p.c_str(), 0600) != 0)
                 throw std::runtime_error("mkfifo failed");
         }},
        {"link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
        {"link to a character device",
         [](const fs::path& p) { fs::create_symlink("/dev/null", p); }},
        {"socket", makeSocket},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }},
    };
}

// The kind of what stands at the name (a link is described, not followed) and, for a link, its
// target: what a test compares to see that the entry was left alone.
inline std::string entryDescription(const std::filesystem::path& path)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return "nothing";
    if (S_ISLNK(info.st_mode))
        return "link to " + std::filesystem::read_symlink(path).string();
    return "type " + std::to_string(info.st_mode & S_IFMT) + ", inode "
           + std::to_string(info.st_ino);
}

} // namespace lentaro::test
