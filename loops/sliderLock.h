#pragma once

#include <QEvent>
#include <QTimer>

#include <array>

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

// Two sliders that, once one is released, ignore the user's input on it for a moment, so that a
// stray move as the mouse lets go does not change what was just chosen. The lock is kept
// without disabling the slider, which would take the keyboard focus away. The owner's
// single-shot freedom timer ends it: its timeout calls free().
class SliderLock
{
public:
    static constexpr int lockMs = 300;

    explicit SliderLock(QTimer& freedom) : freedom_(freedom)
    {
        freedom_.setSingleShot(true);
        freedom_.setInterval(lockMs);
    }
    void lock(int index)
    {
        locked_[index] = true;
        freedom_.start();
    }
    void free()
    {
        locked_ = {false, false};
        freedom_.stop();
    }
    bool locked(int index) const { return locked_[index]; }
    // Whether slider `index` ignores this event.
    bool swallows(int index, const QEvent& event) const
    {
        return locked_[index] && isSliderInput(event);
    }

private:
    QTimer& freedom_;
    std::array<bool, 2> locked_{false, false};
};

} // namespace lentaro
