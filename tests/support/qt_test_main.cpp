#include "tests/support/test_application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Test discovery runs the binary outside ctest's environment too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> application =
        lentaro::test::makeTestApplication(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
