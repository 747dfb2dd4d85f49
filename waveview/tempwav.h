#pragma once

#include "waveview/waveseries.h"

#include <QString>

namespace lentaro {

// temp.wav as the waveform view draws it: the sample values of all channels, interleaved, at
// 16-bit scale whatever the file's sample size; point i is sample value i × step (counting from
// 0) for every i ≥ 1 with i × step below the number of sample values. The rate and channels are
// the file's own, for the markers' times.
struct TempWav {
    WaveSeries series;
    double samplesPerMs = 0;
    int channels = 0;
};

// Reads the file in one pass. A file that is missing, holds no samples or cannot be read as a
// sound file raises a RuntimeError saying why.
TempWav readTempWav(const QString& path, int step);

} // namespace lentaro
