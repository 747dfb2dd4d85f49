#include "mainwindow/keycodes.h"

#include <QKeyEvent>

namespace lentaro {

int keyCodeOf(const QKeyEvent& event)
{
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    switch (event.key()) {
    case Qt::Key_Space:
        return keySpace;
    case Qt::Key_F6:
        return keyF6;
    case Qt::Key_F7:
        return keyF7;
    case Qt::Key_F8:
        return keyF8;
    case Qt::Key_Minus:
        return keypad ? keypadMinus : event.key();
    case Qt::Key_Plus:
        return keypad ? keypadPlus : event.key();
    default:
        return event.key();
    }
}

int shiftOf(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0)
           | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0)
           | (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

} // namespace lentaro
