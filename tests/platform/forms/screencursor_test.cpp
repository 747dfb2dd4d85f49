#include "platform/forms/screencursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace lentaro::forms {
namespace {

TEST(ScreenCursorTest, ThePointerIsOneValueNotAStack)
{
    EXPECT_EQ(screenMousePointer(), Qt::ArrowCursor);

    setScreenMousePointer(Qt::WaitCursor);
    setScreenMousePointer(Qt::WaitCursor);
    EXPECT_EQ(screenMousePointer(), Qt::WaitCursor);

    // One reset is enough, however often the hourglass was set.
    setScreenMousePointer(Qt::ArrowCursor);
    EXPECT_EQ(screenMousePointer(), Qt::ArrowCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace lentaro::forms
