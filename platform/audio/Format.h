#pragma once

#include "platform/audio/Error.h"

namespace lentaro::audio {

// How samples are stored: linear PCM (8-bit unsigned, 16-, 24- and 32-bit signed, all
// little-endian, as in wave files) or 8-bit G.711 mu-law / A-law.
enum class Encoding { Pcm, MuLaw, ALaw };

// The shape of the interleaved frames a device plays or records.
struct Format {
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;
  Encoding encoding = Encoding::Pcm;

  int bytesPerSample() const { return bitsPerSample / 8; }
  int bytesPerFrame() const { return bytesPerSample() * channels; }

  friend bool operator==(const Format& a, const Format& b) {
    return a.channels == b.channels && a.sampleRate == b.sampleRate && a.bitsPerSample == b.bitsPerSample &&
           a.encoding == b.encoding;
  }
  friend bool operator!=(const Format& a, const Format& b) { return !(a == b); }
};

// The formats any device may be asked for: one or two channels, 1,000 to 192,000 frames a second,
// PCM of 8, 16, 24 or 32 bits, and for playback also 8-bit mu-law and A-law. A real device may
// refuse more; these checks catch what no device could take.
Status checkOutputFormat(const Format& format);
Status checkInputFormat(const Format& format);

}  // namespace lentaro::audio
