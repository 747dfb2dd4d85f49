#pragma once

namespace lentaro {

// Opens the system's recording mixer after the hint "recordingMixerTakesAWhile"; Cancel on the
// hint opens nothing.
void showRecordingMixer2();

} // namespace lentaro
