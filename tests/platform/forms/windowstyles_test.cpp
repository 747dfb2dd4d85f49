#include "platform/forms/windowstyles.h"

#include <gtest/gtest.h>

#include <memory>

namespace lentaro::forms {
namespace {

TEST(WindowStylesTest, TopmostIsTheStayOnTopHintAndAShownWindowStaysShown)
{
    QWidget window;
    window.show();

    setTopmost(window, true);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(windowExStyle(window) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    EXPECT_TRUE(window.isVisible());

    setTopmost(window, false);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(windowExStyle(window) & WS_EX_TOPMOST, 0u);
    EXPECT_TRUE(window.isVisible());
}

TEST(WindowStylesTest, BitsWithoutAQtMeaningReadBackAsWritten)
{
    QWidget window;
    const std::uint32_t clientEdge = 0x200;
    const std::uint32_t maximizeBox = 0x00010000;

    setWindowExStyle(window, clientEdge | WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(windowExStyle(window), clientEdge | WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(window.windowType(), Qt::Tool);

    setWindowExStyle(window, clientEdge);
    EXPECT_EQ(windowExStyle(window), clientEdge);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_NE(window.windowType(), Qt::Tool);

    setWindowStyle(window, maximizeBox);
    EXPECT_EQ(windowStyle(window), maximizeBox);
}

TEST(WindowStylesTest, VisibleAndDisabledBitsAreTheWidgetsOwnState)
{
    QWidget window;
    EXPECT_EQ(windowStyle(window) & (WS_VISIBLE | WS_DISABLED), 0u);

    window.show();
    window.setEnabled(false);
    EXPECT_EQ(windowStyle(window) & (WS_VISIBLE | WS_DISABLED), WS_VISIBLE | WS_DISABLED);

    setWindowStyle(window, windowStyle(window) & ~(WS_VISIBLE | WS_DISABLED));
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.isEnabled());
}

TEST(WindowStylesTest, AChildWindowLivesInsideItsParentAnOwnedOneStaysAWindow)
{
    struct Case {
        const char* name;
        bool child;
    };
    for (const Case& c : {Case{"child", true}, Case{"owned", false}}) {
        SCOPED_TRACE(c.name);
        QWidget main;
        main.show();
        auto* window = new QWidget;
        window->show();
        if (c.child)
            setWindowStyle(*window, windowStyle(*window) | WS_CHILD);
        EXPECT_EQ((windowStyle(*window) & WS_CHILD) != 0, c.child);

        setWindowParent(*window, &main);

        EXPECT_EQ(window->parentWidget(), &main);
        EXPECT_EQ(window->isWindow(), !c.child);
        EXPECT_EQ((windowStyle(*window) & WS_CHILD) != 0, c.child);
        EXPECT_TRUE(window->isVisible());
    }
}

TEST(WindowStylesTest, ClearingTheChildBitMakesAChildAWindowAgain)
{
    QWidget main;
    auto* panel = new QWidget(&main);
    ASSERT_FALSE(panel->isWindow());
    EXPECT_EQ(windowStyle(*panel) & WS_CHILD, WS_CHILD);

    setWindowStyle(*panel, windowStyle(*panel) & ~WS_CHILD);

    EXPECT_TRUE(panel->isWindow());
    EXPECT_EQ(windowStyle(*panel) & WS_CHILD, 0u);
}

} // namespace
} // namespace lentaro::forms
