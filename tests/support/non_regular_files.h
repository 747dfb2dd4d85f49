#pragma once
// Things other than a regular file standing where the program expects one of its files (a sound
// file, a settings file). Opened the ordinary way, a FIFO with nobody at its other end waits for
// ever and /dev/zero never ends.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace kvtest {

enum class NonRegular {
    kFifo,         // nobody at either end
    kFifoHeldOpen, // the test holds both ends, so neither a reader nor a writer would wait
    kLinkToFifo,   // a symbolic link naming a FIFO
    kZeroDevice,   // a symbolic link naming /dev/zero: reads never end
    kNullDevice,   // a symbolic link naming /dev/null
    kSocket,       // a UNIX socket's file
    kFolder,
};

struct NonRegularCase {
    const char* what;
    NonRegular kind;
};

inline void PrintTo(const NonRegularCase& c, std::ostream* os)
{
    *os << c.what;
}

inline std::vector<NonRegularCase> nonRegularCases()
{
    return {{"Fifo", NonRegular::kFifo},
            {"FifoHeldOpen", NonRegular::kFifoHeldOpen},
            {"LinkToFifo", NonRegular::kLinkToFifo},
            {"DevZero", NonRegular::kZeroDevice},
            {"DevNull", NonRegular::kNullDevice},
            {"Socket", NonRegular::kSocket},
            {"Folder", NonRegular::kFolder}};
}

inline std::string nonRegularCaseName(const ::testing::TestParamInfo<NonRegularCase>& info)
{
    return info.param.what;
}

// Makes one under the name in a folder (the devices are reached through links, since a test cannot
// make one), keeps what it holds open, and removes what it made when it goes.
class NonRegularFile
{
public:
    NonRegularFile(NonRegular kind, const std::string& folder, const std::string& name)
    {
        path_ = folder + "/" + name;
        switch (kind) {
        case NonRegular::kFifo:
            made_ = mkfifo(path_.c_str(), 0600) == 0;
            break;
        case NonRegular::kFifoHeldOpen:
            // Opening both ends at once does not wait on Linux.
            made_ = mkfifo(path_.c_str(), 0600) == 0
                    && (held_ = open(path_.c_str(), O_RDWR | O_NONBLOCK)) >= 0;
            break;
        case NonRegular::kLinkToFifo: {
            const std::string target = path_ + ".fifo";
            std::error_code error;
            made_ = mkfifo(target.c_str(), 0600) == 0
                    && (std::filesystem::create_symlink(target, path_, error), !error);
            break;
        }
        case NonRegular::kZeroDevice:
            made_ = symlink("/dev/zero", path_.c_str()) == 0;
            break;
        case NonRegular::kNullDevice:
            made_ = symlink("/dev/null", path_.c_str()) == 0;
            break;
        case NonRegular::kSocket:
            made_ = bindSocket();
            break;
        case NonRegular::kFolder:
            made_ = mkdir(path_.c_str(), 0700) == 0;
            break;
        }
    }
    ~NonRegularFile()
    {
        if (held_ >= 0)
            close(held_);
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
        std::filesystem::remove(path_ + ".fifo", ignored);
    }
    NonRegularFile(const NonRegularFile&) = delete;
    NonRegularFile& operator=(const NonRegularFile&) = delete;

    bool made() const { return made_; }
    const std::string& path() const { return path_; }

    // For a FIFO the test holds open: the bytes someone wrote into it, which it takes out.
    std::string takeWritten() const
    {
        std::string bytes;
        char piece[256];
        ssize_t got;
        while (held_ >= 0 && (got = read(held_, piece, sizeof piece)) > 0)
            bytes.append(piece, static_cast<std::size_t>(got));
        return bytes;
    }

private:
    bool bindSocket()
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path_.size() >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
        const int socketFile = socket(AF_UNIX, SOCK_STREAM, 0);
        if (socketFile < 0)
            return false;
        // The socket's file stays once the socket is closed: opening it then fails, as for a live one.
        const bool bound =
            bind(socketFile, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        close(socketFile);
        return bound;
    }

    std::string path_;
    bool made_ = false;
    int held_ = -1;
};

// The kind of what stands at the path (a link is described, not followed) and, for a link, its
// target: what a test compares to see that an entry was left alone.
inline std::string entryDescription(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return "nothing";
    if (S_ISLNK(info.st_mode))
        return "link to " + std::filesystem::read_symlink(path).string();
    return "type " + std::to_string(info.st_mode & S_IFMT) + ", inode "
           + std::to_string(info.st_ino);
}

} // namespace kvtest
