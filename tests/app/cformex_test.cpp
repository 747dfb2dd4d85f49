#include "tests/app/window_fixture.h"

#include "app/CFormEx.h"
#include "platform/forms/windowhandles.h"
#include "platform/forms/windowstyles.h"
#include "platform/shell/executablename.h"
#include "trace/runtimeerror.h"

#include <functional>

namespace lentaro::test {
namespace {

using forms::windowHandle;

constexpr std::int32_t childStyle = 0x40000000;
constexpr std::int32_t maximizeBox = 0x00010000;
constexpr std::int32_t minimizeBox = 0x00020000;

// The error a call raises; number 0 when it raises none.
RuntimeError errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RuntimeError& error) {
        return error;
    }
    return RuntimeError(0);
}

// A handle that named a window once.
std::int32_t staleHandle()
{
    QWidget gone;
    return windowHandle(&gone);
}

class CFormExTest : public WindowTest
{};

TEST_F(CFormExTest, WithoutALiveWindowEveryWindowMemberRaisesNotInitialized)
{
    CFormEx formEx;
    formEx.Init(0);
    EXPECT_EQ(formEx.hWnd(), 0);
    QWidget main;

    const std::pair<const char*, std::function<void()>> members[] = {
        {"ExStyle", [&] { formEx.ExStyle(); }},
        {"Style", [&] { formEx.Style(); }},
        {"OnTop", [&] { formEx.setOnTop(false); }},
        {"Parent let", [&] { formEx.setParent(windowHandle(&main)); }},
        {"Parent get", [&] { formEx.Parent(); }},
        {"AddExStyle", [&] { formEx.AddExStyle(8); }},
        {"AddStyle", [&] { formEx.AddStyle(childStyle); }},
        {"HasExStyle", [&] { formEx.HasExStyle(8); }},
        {"HasStyle", [&] { formEx.HasStyle(childStyle); }},
        {"RemoveExStyle", [&] { formEx.RemoveExStyle(8); }},
        {"RemoveStyle", [&] { formEx.RemoveStyle(childStyle); }},
    };
    for (const auto& [name, call] : members) {
        SCOPED_TRACE(name);
        const RuntimeError error = errorOf(call);
        EXPECT_EQ(error.number(), std::int32_t(0x80044485));
        EXPECT_EQ(error.description(), "Object not properly initialized");
        EXPECT_EQ(error.source(), executableName() + ".CFormEx");
    }
}

TEST_F(CFormExTest, AStaleOrMissingHandleIsRefusedAndTheStoredOneStays)
{
    QWidget window;
    const std::int32_t live = windowHandle(&window);
    CFormEx formEx;
    formEx.Init(live);

    const std::pair<const char*, std::function<void()>> calls[] = {
        {"Init stale", [&] { formEx.Init(staleHandle()); }},
        {"hWnd stale", [&] { formEx.sethWnd(staleHandle()); }},
        {"hWnd 0", [&] { formEx.sethWnd(0); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        const RuntimeError error = errorOf(call);
        EXPECT_EQ(error.number(), std::int32_t(0x80044486));
        EXPECT_EQ(error.description(), "Invalid window handle");
        EXPECT_EQ(formEx.hWnd(), live);
    }
}

TEST_F(CFormExTest, OnTopKeepsTheWindowAboveOthersAndRemembersTheFlagEvenWhenTheWindowHasGone)
{
    auto window = std::make_unique<QWidget>();
    window->show();
    CFormEx formEx;
    formEx.Init(windowHandle(window.get()));

    formEx.setOnTop(true);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(formEx.HasExStyle(forms::WS_EX_TOPMOST));

    formEx.setOnTop(false);
    window.reset();
    EXPECT_EQ(errorOf([&] { formEx.setOnTop(true); }).number(), std::int32_t(0x80044485));
    EXPECT_TRUE(formEx.OnTop());
}

TEST_F(CFormExTest, AChildStyledWindowGivenTheMainWindowAsParentLivesInsideIt)
{
    QWidget main;
    main.show();
    auto* trim = new QWidget;
    trim->show();
    CFormEx formEx;
    formEx.Init(windowHandle(trim));

    EXPECT_TRUE(formEx.AddStyle(childStyle));
    formEx.setParent(windowHandle(&main));

    EXPECT_EQ(trim->parentWidget(), &main);
    EXPECT_FALSE(trim->isWindow());
    EXPECT_EQ(formEx.Parent(), windowHandle(&main));
    EXPECT_TRUE(formEx.HasStyle(childStyle));
}

TEST_F(CFormExTest, AnInvalidParentIsRefusedAndTheWindowStaysAsItWas)
{
    QWidget window;
    CFormEx formEx;
    formEx.Init(windowHandle(&window));

    for (std::int32_t parent : {0, staleHandle()}) {
        const RuntimeError error = errorOf([&] { formEx.setParent(parent); });
        EXPECT_EQ(error.number(), std::int32_t(0x80044487));
        EXPECT_EQ(error.description(), "Invalid parent window");
        EXPECT_EQ(window.parentWidget(), nullptr);
        EXPECT_EQ(formEx.Parent(), 0);
    }
}

TEST_F(CFormExTest, AddStyleReportsSuccessWhenTheBitsAreSetEvenFromAStyleOfZero)
{
    QWidget window; // hidden, enabled, no parent: style 0
    CFormEx formEx;
    formEx.Init(windowHandle(&window));
    ASSERT_EQ(formEx.Style(), 0);

    EXPECT_TRUE(formEx.AddStyle(maximizeBox));
    EXPECT_EQ(formEx.Style(), maximizeBox);
    EXPECT_TRUE(formEx.AddExStyle(0x200));
    EXPECT_EQ(formEx.ExStyle(), 0x200);
}

TEST_F(CFormExTest, HasStyleTellsWhetherEveryBitOfTheMaskIsSet)
{
    QWidget window;
    CFormEx formEx;
    formEx.Init(windowHandle(&window));
    formEx.AddStyle(maximizeBox | minimizeBox);

    EXPECT_TRUE(formEx.HasStyle(maximizeBox));
    EXPECT_TRUE(formEx.HasStyle(maximizeBox | minimizeBox));
    EXPECT_FALSE(formEx.HasStyle(maximizeBox | childStyle));
    EXPECT_FALSE(formEx.HasExStyle(forms::WS_EX_TOPMOST));
}

TEST_F(CFormExTest, RemoveStyleClearsTheBitsWhateverTheirValue)
{
    QWidget window;
    window.setEnabled(false);
    CFormEx formEx;
    formEx.Init(windowHandle(&window));
    formEx.AddStyle(maximizeBox);

    // The mask is larger than the current style: it is cleared all the same.
    EXPECT_TRUE(formEx.RemoveStyle(maximizeBox | minimizeBox | std::int32_t(forms::WS_DISABLED)));
    EXPECT_EQ(formEx.Style(), 0);
    EXPECT_TRUE(window.isEnabled());

    formEx.setOnTop(true);
    EXPECT_TRUE(formEx.RemoveExStyle(forms::WS_EX_TOPMOST));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

} // namespace
} // namespace lentaro::test
