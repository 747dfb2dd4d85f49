#pragma once

#include <QByteArray>
#include <QString>

namespace lentaro::test {

// An MP3 file of a sine tone, encoded with libmp3lame at test time.
struct Mp3Spec {
    int rate = 44100;
    int channels = 2;
    int frames = 44100;
    double frequency = 440.0;
    int kbps = 128;
    // The encoder's info frame, which states the encoder delay and padding, so that a gapless
    // decoder returns exactly the frames encoded.
    bool infoFrame = true;
    // An ID3v2 tag before the first frame.
    bool id3v2 = false;
};

// The tone at half of full scale in every channel.
QByteArray encodeMp3(const Mp3Spec& spec);
void writeMp3(const QString& path, const Mp3Spec& spec);

} // namespace lentaro::test
