#include "platform/forms/windowhandles.h"

#include <gtest/gtest.h>

#include <memory>

namespace lentaro::forms {
namespace {

TEST(WindowHandlesTest, AHandleNamesItsWidgetUntilTheWidgetIsDestroyed)
{
    auto window = std::make_unique<QWidget>();
    const std::int32_t handle = windowHandle(window.get());

    EXPECT_GT(handle, 0);
    EXPECT_EQ(windowHandle(window.get()), handle);
    EXPECT_EQ(windowFromHandle(handle), window.get());
    EXPECT_TRUE(IsWindow(handle));

    window.reset();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(windowFromHandle(handle), nullptr);

    // A handle is never reused for a later window.
    QWidget later;
    EXPECT_NE(windowHandle(&later), handle);
}

TEST(WindowHandlesTest, NoHandleNamesNothing)
{
    EXPECT_EQ(windowHandle(nullptr), 0);
    for (std::int32_t handle : {0, -1, -2, 0x7fffffff})
        EXPECT_FALSE(IsWindow(handle)) << handle;
}

} // namespace
} // namespace lentaro::forms
