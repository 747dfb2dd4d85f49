#include "tests/support/test_application.h"

#include <QApplication>

namespace lentaro::test {

// The platform layers that show windows, below the trace runtime.
std::unique_ptr<QCoreApplication> makeTestApplication(int& argc, char** argv)
{
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace lentaro::test
