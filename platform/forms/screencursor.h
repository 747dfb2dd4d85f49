#pragma once

#include <Qt>

namespace lentaro::forms {

// The pointer shown over every window of the program (Qt::ArrowCursor: each widget's own).
Qt::CursorShape screenMousePointer();

// Sets it; Qt::ArrowCursor gives every widget its own pointer back.
void setScreenMousePointer(Qt::CursorShape shape);

} // namespace lentaro::forms
