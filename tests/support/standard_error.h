#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>

namespace lentaro::test {

// What the process writes to standard error while `work` runs (empty when the file that takes
// its place cannot be made).
inline std::string standardErrorOf(const std::function<void()>& work)
{
    char name[] = "/tmp/lentaro-stderr-XXXXXX";
    const int file = mkstemp(name);
    if (file < 0) {
        work();
        return {};
    }
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(file, 2);
    work();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(file);
    std::ifstream in(name);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unlink(name);
    return text;
}

} // namespace lentaro::test
