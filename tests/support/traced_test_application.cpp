#include "tests/support/test_application.h"

#include "trace/tracedapplication.h"

namespace lentaro::test {

// The Qt program's code runs under the trace runtime's error trap, as in the program.
std::unique_ptr<QCoreApplication> makeTestApplication(int& argc, char** argv)
{
    return std::make_unique<TracedApplication>(argc, argv);
}

} // namespace lentaro::test
