#pragma once

#include <sys/resource.h>

#include <csignal>

namespace lentaro::test {

// The disk as full as a file-size limit makes it, for the whole process while it lasts: a write
// past `room` bytes into any file fails (the signal that would end the process for it is
// ignored), as on a full disk.
class FullDisk
{
public:
    explicit FullDisk(rlim_t room)
    {
        ::getrlimit(RLIMIT_FSIZE, &before_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = before_;
        limited.rlim_cur = room;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FullDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, signal_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit before_{};
    void (*signal_)(int) = nullptr;
};

} // namespace lentaro::test
