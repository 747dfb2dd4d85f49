#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace lentaro::test {

// A wave file as the conversion left it, read back through the sound-file core.
struct ConvertedWave {
    bool readable = false;
    // The RIFF and data chunk sizes agree with the file's size.
    bool headerAgrees = false;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::int64_t frames = 0;
    std::vector<double> firstChannel; // full scale 1.0
};
ConvertedWave readConvertedWave(const QString& path);

// A file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// The tone's frequency over the middle of a channel (its first and last tenth left out).
double toneFrequency(const ConvertedWave& wave);

} // namespace lentaro::test
