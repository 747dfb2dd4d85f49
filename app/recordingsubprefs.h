#pragma once

namespace lentaro {

// Derives the recording values from the recording preferences: gvChannels := 1;
// gvRecordingRate := 44100 for digital recording (gvRecordMode 1), else gvRecordingSampleRate;
// gvSamplesPerMs := gvRecordingRate / 1000.
void getRecordingSubPrefs();

} // namespace lentaro
