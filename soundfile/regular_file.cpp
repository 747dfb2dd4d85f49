#include "soundfile/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kv {

namespace {

const char* standingThere(const struct stat& info) {
  if (S_ISREG(info.st_mode)) return nullptr;
  if (S_ISDIR(info.st_mode)) return "a folder";
  if (S_ISFIFO(info.st_mode)) return "a FIFO";
  if (S_ISSOCK(info.st_mode)) return "a socket";
  return "a device";
}

RegularFile refused(const char* standing) {
  RegularFile attempt;
  attempt.standing = standing;
  return attempt;
}

RegularFile failed(int error) {
  RegularFile attempt;
  attempt.error = error;
  return attempt;
}

}  // namespace

RegularFile openRegularFile(const std::string& path, int access) {
  struct stat info;
  if (::stat(path.c_str(), &info) == 0) {
    if (const char* standing = standingThere(info)) return refused(standing);
  } else if (errno != ENOENT || !(access & O_CREAT)) {
    return failed(errno);
  }
  const int descriptor = ::open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (descriptor < 0) return failed(errno);
  RegularFile attempt;
  if (::fstat(descriptor, &info) != 0) {
    attempt.error = errno;
  } else if ((attempt.standing = standingThere(info)) == nullptr) {
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        ((access & O_CREAT) && ::ftruncate(descriptor, 0) != 0)) {
      attempt.error = errno;
    } else {
      attempt.descriptor = descriptor;
      return attempt;
    }
  }
  ::close(descriptor);
  return attempt;
}

std::string whyNotOpened(const RegularFile& attempt) {
  if (attempt.opened()) return std::string();
  if (attempt.standing) return std::string("it is ") + attempt.standing + ", not a file";
  return std::strerror(attempt.error);
}

}  // namespace kv
