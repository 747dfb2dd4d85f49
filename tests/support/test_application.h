#pragma once

#include <QCoreApplication>

#include <memory>

namespace lentaro::test {

// The application a Qt test program runs its tests in. The one test main makes it; each program
// links the maker its layer needs (tests/support/CMakeLists.txt).
std::unique_ptr<QCoreApplication> makeTestApplication(int& argc, char** argv);

} // namespace lentaro::test
