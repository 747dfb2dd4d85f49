#include "platform/forms/windowstyles.h"

#include <QVariant>

namespace lentaro::forms {

namespace {

const char* const styleProperty = "lentaroStyle";
const char* const exStyleProperty = "lentaroExStyle";

std::uint32_t stored(const QWidget& window, const char* property)
{
    return window.property(property).toUInt();
}

std::uint32_t withBit(std::uint32_t word, std::uint32_t bit, bool set)
{
    return set ? (word | bit) : (word & ~bit);
}

// Changing a widget's flags hides it; a window that was shown is shown again.
void applyFlags(QWidget& window, Qt::WindowFlags flags)
{
    if (flags == window.windowFlags())
        return;
    const bool shown = !window.isHidden();
    window.setWindowFlags(flags);
    if (shown)
        window.show();
}

Qt::WindowFlags withType(Qt::WindowFlags flags, Qt::WindowType type)
{
    return (flags & ~Qt::WindowType_Mask) | type;
}

// The window type a widget gets from its WS_CHILD bit: a child widget, or a window of its own
// (keeping a dialog or tool type it already has).
Qt::WindowFlags flagsForChildBit(const QWidget& window, bool child)
{
    const Qt::WindowFlags flags = window.windowFlags();
    if (child)
        return withType(flags, Qt::Widget);
    if (flags & Qt::Window)
        return flags;
    return withType(flags, Qt::Window);
}

} // namespace

std::uint32_t windowStyle(const QWidget& window)
{
    std::uint32_t style = stored(window, styleProperty);
    if (window.parentWidget())
        style = withBit(style, WS_CHILD, !window.isWindow());
    style = withBit(style, WS_VISIBLE, !window.isHidden());
    style = withBit(style, WS_DISABLED, window.testAttribute(Qt::WA_ForceDisabled));
    return style;
}

std::uint32_t windowExStyle(const QWidget& window)
{
    std::uint32_t exStyle = stored(window, exStyleProperty);
    exStyle =
        withBit(exStyle, WS_EX_TOPMOST, window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    exStyle = withBit(exStyle, WS_EX_TOOLWINDOW, window.windowType() == Qt::Tool);
    return exStyle;
}

void setWindowStyle(QWidget& window, std::uint32_t style)
{
    window.setProperty(styleProperty, style);
    if (window.parentWidget())
        applyFlags(window, flagsForChildBit(window, style & WS_CHILD));
    window.setVisible(style & WS_VISIBLE);
    window.setEnabled(!(style & WS_DISABLED));
}

void setWindowExStyle(QWidget& window, std::uint32_t exStyle)
{
    window.setProperty(exStyleProperty, exStyle);
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, exStyle & WS_EX_TOPMOST);
    const bool tool = exStyle & WS_EX_TOOLWINDOW;
    if (tool != (window.windowType() == Qt::Tool))
        flags = withType(flags, tool ? Qt::Tool : Qt::Window);
    applyFlags(window, flags);
}

void setTopmost(QWidget& window, bool topmost)
{
    const bool activating = !window.testAttribute(Qt::WA_ShowWithoutActivating);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    applyFlags(window, flags);
    if (activating)
        window.setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void setWindowParent(QWidget& window, QWidget* parent)
{
    const bool child = stored(window, styleProperty) & WS_CHILD;
    const bool shown = !window.isHidden();
    window.setParent(parent, flagsForChildBit(window, child && parent));
    if (shown)
        window.show();
}

} // namespace lentaro::forms
