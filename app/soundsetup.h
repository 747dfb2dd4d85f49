#pragma once

namespace lentaro {

// Sets the sound layer up for the run: the sound libraries' own messages reach standard error
// only when the trace settings write a trace (Write To Disk, Capture To Disk or the circular log),
// and a LENTARO_AUDIO the layer does not know is named in one message; the run goes on with the
// desktop's sound devices, as if it were unset.
void setUpSound();

} // namespace lentaro
