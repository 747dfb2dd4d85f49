#pragma once

#include <QWidget>

#include <cstdint>

namespace lentaro::forms {

// The window manager's style bits that mean something to a Qt widget.
constexpr std::uint32_t WS_CHILD = 0x40000000;         // lives inside its parent window
constexpr std::uint32_t WS_VISIBLE = 0x10000000;       // shown
constexpr std::uint32_t WS_DISABLED = 0x08000000;      // takes no input
constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;    // above all other windows
constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080; // a tool window

// A window's style and extended style words. The bits above read the widget's own state; every
// other bit reads as last written (0 until then).
std::uint32_t windowStyle(const QWidget& window);
std::uint32_t windowExStyle(const QWidget& window);

// Writes a style word: the bits above change the widget (WS_CHILD takes effect inside the
// parent once the widget has one), every other bit is kept as written.
void setWindowStyle(QWidget& window, std::uint32_t style);
void setWindowExStyle(QWidget& window, std::uint32_t exStyle);

// Above all other windows or not, without moving, resizing or activating it.
void setTopmost(QWidget& window, bool topmost);

// Gives the window a new parent (nullptr: none). With WS_CHILD it then lives inside the parent;
// without it stays a window of its own, kept above its parent.
void setWindowParent(QWidget& window, QWidget* parent);

} // namespace lentaro::forms
