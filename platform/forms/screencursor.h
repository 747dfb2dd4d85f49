#pragma once

#include <Qt>

namespace lentaro::forms {

// The pointer shown over every window of the program (Qt::ArrowCursor: each widget's own).
Qt::CursorShape screenMousePointer();

// Sets it; Qt::ArrowCursor gives every widget its own pointer back.
void setScreenMousePointer(Qt::CursorShape shape);

// Sets the screen's pointer to `shape` for its lifetime and back to the default when it ends,
// whichever way its scope is left, so an error part-way never leaves the hourglass up.
class ScopedScreenPointer
{
public:
    explicit ScopedScreenPointer(Qt::CursorShape shape) { setScreenMousePointer(shape); }
    ~ScopedScreenPointer() { setScreenMousePointer(Qt::ArrowCursor); }

    ScopedScreenPointer(const ScopedScreenPointer&) = delete;
    ScopedScreenPointer& operator=(const ScopedScreenPointer&) = delete;
};

} // namespace lentaro::forms
