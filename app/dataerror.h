#pragma once

namespace lentaro {

// The box a data control shows when the database refuses a change: the error number, the
// control by the name the box gives it ("Tracks", "CDs", "Loop Point"), and where to report it;
// OK only. When the program folder is full or read-only, the box says so instead.
void showDataError(int DataErr, const char* control);

} // namespace lentaro
