#include "platform/forms/screenunits.h"

#include <QWidget>

namespace lentaro::forms {

double twipsPerPixel(const QWidget& widget)
{
    return 1440.0 / widget.logicalDpiX();
}

QColor colorOf(std::uint32_t windowsColor)
{
    return QColor(int(windowsColor & 0xFF), int((windowsColor >> 8) & 0xFF),
                  int((windowsColor >> 16) & 0xFF));
}

std::uint32_t windowsColorOf(const QColor& color)
{
    return std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8)
           | (std::uint32_t(color.blue()) << 16);
}

} // namespace lentaro::forms
