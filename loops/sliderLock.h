#pragma once

#include <QEvent>

namespace lentaro {

// What a released slider ignores while its short lock lasts: the user's mouse and keys, nothing
// else (paints and focus changes still reach it, so it keeps its focus and looks the same).
inline bool isSliderInput(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return false;
    }
}

} // namespace lentaro
