#pragma once

#include <QString>

namespace lentaro {

// CD positions in the track/minute/second/frame format: track | minutes << 8 | seconds << 16 |
// frames << 24.

// The position a tt:mm:ss text stands for, frames 0. Each field counts by its leading digits;
// a missing or empty field is 0: "03:02:10" is track 3 at 2:10, "12" track 12, "" 0.
int to4byte(const QString& inn);

// A position as the text tt:mm:ss, each field two digits at least.
QString tmsText(int position);

} // namespace lentaro
