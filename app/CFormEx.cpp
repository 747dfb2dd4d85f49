#include "app/CFormEx.h"

#include "platform/forms/windowhandles.h"
#include "platform/forms/windowstyles.h"
#include "platform/shell/executablename.h"
#include "trace/runtimeerror.h"

#include <QWidget>

namespace lentaro {

namespace {

[[noreturn]] void raise(std::int32_t number, const char* description)
{
    throw RuntimeError(number, QString::fromLatin1(description),
                       executableName() + QStringLiteral(".CFormEx"));
}

} // namespace

void CFormEx::Init(std::int32_t handle)
{
    if (handle > 0 && !forms::IsWindow(handle))
        raise(errInvalidHandle, "Invalid window handle");
    hWnd_ = handle;
}

void CFormEx::sethWnd(std::int32_t handle)
{
    if (!forms::IsWindow(handle))
        raise(errInvalidHandle, "Invalid window handle");
    hWnd_ = handle;
}

QWidget& CFormEx::window() const
{
    QWidget* widget = forms::windowFromHandle(hWnd_);
    if (!widget)
        raise(errNotInitialized, "Object not properly initialized");
    return *widget;
}

void CFormEx::setOnTop(bool onTop)
{
    onTop_ = onTop;
    forms::setTopmost(window(), onTop);
}

void CFormEx::setParent(std::int32_t parentHandle)
{
    QWidget& widget = window();
    QWidget* parent = forms::windowFromHandle(parentHandle);
    if (!parent)
        raise(errInvalidParent, "Invalid parent window");
    forms::setWindowParent(widget, parent);
}

std::int32_t CFormEx::Parent() const
{
    return forms::windowHandle(window().parentWidget());
}

std::int32_t CFormEx::Style() const
{
    return std::int32_t(read(Word::Style));
}

std::int32_t CFormEx::ExStyle() const
{
    return std::int32_t(read(Word::ExStyle));
}

bool CFormEx::AddStyle(std::int32_t mask)
{
    return add(Word::Style, mask);
}

bool CFormEx::AddExStyle(std::int32_t mask)
{
    return add(Word::ExStyle, mask);
}

bool CFormEx::HasStyle(std::int32_t mask) const
{
    return (read(Word::Style) & std::uint32_t(mask)) == std::uint32_t(mask);
}

bool CFormEx::HasExStyle(std::int32_t mask) const
{
    return (read(Word::ExStyle) & std::uint32_t(mask)) == std::uint32_t(mask);
}

bool CFormEx::RemoveStyle(std::int32_t mask)
{
    return remove(Word::Style, mask);
}

bool CFormEx::RemoveExStyle(std::int32_t mask)
{
    return remove(Word::ExStyle, mask);
}

std::uint32_t CFormEx::read(Word word) const
{
    const QWidget& widget = window();
    return word == Word::Style ? forms::windowStyle(widget) : forms::windowExStyle(widget);
}

void CFormEx::write(Word word, std::uint32_t value)
{
    QWidget& widget = window();
    if (word == Word::Style)
        forms::setWindowStyle(widget, value);
    else
        forms::setWindowExStyle(widget, value);
}

// Success is judged by the bits themselves, not by what the old word happened to be.
bool CFormEx::add(Word word, std::int32_t mask)
{
    write(word, read(word) | std::uint32_t(mask));
    return (read(word) & std::uint32_t(mask)) == std::uint32_t(mask);
}

bool CFormEx::remove(Word word, std::int32_t mask)
{
    write(word, read(word) & ~std::uint32_t(mask));
    return (read(word) & std::uint32_t(mask)) == 0;
}

} // namespace lentaro
