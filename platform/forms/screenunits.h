#pragma once

#include <QColor>

#include <cstdint>

class QWidget;

namespace lentaro::forms {

// Twips per pixel of the screen the widget is on (1440 twips to the logical inch).
double twipsPerPixel(const QWidget& widget);

// A Windows colour value (&H00BBGGRR) as a Qt colour, and back.
QColor colorOf(std::uint32_t windowsColor);
std::uint32_t windowsColorOf(const QColor& color);

} // namespace lentaro::forms
