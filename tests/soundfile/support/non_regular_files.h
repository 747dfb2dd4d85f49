#pragma once
// Paths that name something other than a regular file where a sound file is expected. Opened the
// ordinary way, a FIFO with nobody at its other end waits for ever and /dev/zero never ends.

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
  kFifo,          // nobody at either end
  kFifoHeldOpen,  // the test holds both ends, so neither a reader nor a writer would wait
  kLinkToFifo,    // a symbolic link naming a FIFO
  kZeroDevice,    // /dev/zero: reads never end
  kNullDevice,    // /dev/null
  kSocket,        // a UNIX socket's file
  kFolder,
};

struct NonRegularCase {
  const char* what;
  NonRegular kind;
};

inline void PrintTo(const NonRegularCase& c, std::ostream* os) { *os << c.what; }

inline std::vector<NonRegularCase> nonRegularCases() {
  return {{"Fifo", NonRegular::kFifo},
          {"FifoHeldOpen", NonRegular::kFifoHeldOpen},
          {"LinkToFifo", NonRegular::kLinkToFifo},
          {"DevZero", NonRegular::kZeroDevice},
          {"DevNull", NonRegular::kNullDevice},
          {"Socket", NonRegular::kSocket},
          {"Folder", NonRegular::kFolder}};
}

inline std::string nonRegularCaseName(const ::testing::TestParamInfo<NonRegularCase>& info) { return info.param.what; }

// Makes one in a folder (the devices are the system's own) and keeps what it holds open until it
// goes; the entries it made in the folder stay.
class NonRegularFile {
 public:
  NonRegularFile(NonRegular kind, const std::string& folder, const std::string& name) {
    path_ = folder + "/" + name;
    switch (kind) {
      case NonRegular::kFifo:
        made_ = mkfifo(path_.c_str(), 0600) == 0;
        break;
      case NonRegular::kFifoHeldOpen:
        // Opening both ends at once does not wait on Linux.
        made_ = mkfifo(path_.c_str(), 0600) == 0 && (held_ = open(path_.c_str(), O_RDWR | O_NONBLOCK)) >= 0;
        break;
      case NonRegular::kLinkToFifo: {
        const std::string target = path_ + ".fifo";
        std::error_code error;
        made_ = mkfifo(target.c_str(), 0600) == 0 && (std::filesystem::create_symlink(target, path_, error), !error);
        break;
      }
      case NonRegular::kZeroDevice:
        path_ = "/dev/zero";
        made_ = true;
        break;
      case NonRegular::kNullDevice:
        path_ = "/dev/null";
        made_ = true;
        break;
      case NonRegular::kSocket:
        made_ = bindSocket();
        break;
      case NonRegular::kFolder:
        made_ = mkdir(path_.c_str(), 0700) == 0;
        break;
    }
  }
  ~NonRegularFile() {
    if (held_ >= 0) close(held_);
  }
  NonRegularFile(const NonRegularFile&) = delete;
  NonRegularFile& operator=(const NonRegularFile&) = delete;

  bool made() const { return made_; }
  const std::string& path() const { return path_; }

  // For a FIFO the test holds open: the bytes someone wrote into it, which it takes out.
  std::string takeWritten() const {
    std::string bytes;
    char piece[256];
    ssize_t got;
    while (held_ >= 0 && (got = read(held_, piece, sizeof piece)) > 0)
      bytes.append(piece, static_cast<std::size_t>(got));
    return bytes;
  }

 private:
  bool bindSocket() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    const int socketFile = socket(AF_UNIX, SOCK_STREAM, 0);
    if (socketFile < 0) return false;
    // The socket's file stays once the socket is closed: opening it then fails, as for a live one.
    const bool bound = bind(socketFile, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(socketFile);
    return bound;
  }

  std::string path_;
  bool made_ = false;
  int held_ = -1;
};

}  // namespace kvtest
