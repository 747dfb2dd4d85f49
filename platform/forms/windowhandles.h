#pragma once

#include <QWidget>

#include <cstdint>

namespace lentaro::forms {

// Window handles as the window manager hands them out: a positive number per widget, given on
// first request and never reused, that stops naming a window once the widget is destroyed.

// The widget's handle; 0 for nullptr.
std::int32_t windowHandle(QWidget* window);

// The live widget of that handle; nullptr when it names none (0, negative, stale).
QWidget* windowFromHandle(std::int32_t handle);

// True when the handle names a live widget.
bool IsWindow(std::int32_t handle);

} // namespace lentaro::forms
