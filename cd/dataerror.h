#pragma once

namespace lentaro {

// The data controls of the CD side whose changes the database may refuse.
enum class DataControl { Tracks, CDs };

// The box a data control shows when the database refuses a change: the error number, the
// control, and where to report it; OK only.
void showDataError(int DataErr, DataControl control);

} // namespace lentaro
