#pragma once

#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lentaro::test {

// How a body run by runBoundedChild ended.
struct ChildEnd {
    bool exited = false;      // it returned by itself, within the bounds
    int exitCode = -1;        // what it returned
    bool outOfTime = false;   // killed: it did not end within the time bound
    bool outOfMemory = false; // killed: its memory grew past the bound
};

// Resident memory of a process in KiB, from /proc; 0 when it cannot be read.
inline long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

// Runs body in a child process and returns how it ended. A child that outlives the time bound,
// or whose memory grows by more than the memory bound, is killed: a test of something that
// could hang or eat the memory fails instead of stalling the suite or the machine. The bounds
// are far above what a sound answer takes; they measure nothing.
inline ChildEnd runBoundedChild(const std::function<int()>& body,
                                std::chrono::seconds timeBound = std::chrono::seconds(10),
                                long memoryBoundKiB = 256 * 1024)
{
    const long before = residentKiB(::getpid());
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());

    ChildEnd end;
    const auto deadline = std::chrono::steady_clock::now() + timeBound;
    for (;;) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            end.exited = WIFEXITED(status);
            end.exitCode = end.exited ? WEXITSTATUS(status) : -1;
            return end;
        }
        end.outOfMemory = residentKiB(pid) - before > memoryBoundKiB;
        end.outOfTime = std::chrono::steady_clock::now() > deadline;
        if (end.outOfMemory || end.outOfTime) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return end;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace lentaro::test
