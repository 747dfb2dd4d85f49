#include "platform/forms/screencursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace lentaro::forms {

Qt::CursorShape screenMousePointer()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

void setScreenMousePointer(Qt::CursorShape shape)
{
    // One pointer for the whole screen, not a stack of them.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (shape != Qt::ArrowCursor)
        QGuiApplication::setOverrideCursor(QCursor(shape));
}

} // namespace lentaro::forms
