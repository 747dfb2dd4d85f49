#include <QCoreApplication>

#include <gtest/gtest.h>

// The layer delivers its events through the event loop, which the tests run while they wait.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
