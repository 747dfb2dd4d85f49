#include "tests/support/test_application.h"

namespace lentaro::test {

// The platform layers without windows deliver their events through the event loop, which their
// tests run while they wait.
std::unique_ptr<QCoreApplication> makeTestApplication(int& argc, char** argv)
{
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace lentaro::test
