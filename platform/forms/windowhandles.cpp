#include "platform/forms/windowhandles.h"

#include <QPointer>
#include <QVariant>

#include <unordered_map>

namespace lentaro::forms {

namespace {

const char* const handleProperty = "lentaroWindowHandle";

std::unordered_map<std::int32_t, QPointer<QWidget>>& handles()
{
    static std::unordered_map<std::int32_t, QPointer<QWidget>> table;
    return table;
}

} // namespace

std::int32_t windowHandle(QWidget* window)
{
    if (!window)
        return 0;
    const QVariant known = window->property(handleProperty);
    if (known.isValid())
        return known.toInt();
    static std::int32_t last = 0;
    const std::int32_t handle = ++last;
    window->setProperty(handleProperty, handle);
    handles()[handle] = window;
    // The entry goes with the widget, so the table holds live windows only.
    QObject::connect(window, &QObject::destroyed, [handle] { handles().erase(handle); });
    return handle;
}

QWidget* windowFromHandle(std::int32_t handle)
{
    const auto found = handles().find(handle);
    return found == handles().end() ? nullptr : found->second.data();
}

bool IsWindow(std::int32_t handle)
{
    return windowFromHandle(handle) != nullptr;
}

} // namespace lentaro::forms
