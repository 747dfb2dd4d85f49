#include "platform/audio/Format.h"

#include <string>

namespace lentaro::audio {

namespace {

constexpr int minRate = 1000;
constexpr int maxRate = 192000;

Status refuse(std::string detail) { return Status::failure(Error::BadFormat, std::move(detail)); }

Status checkShape(const Format& format) {
  if (format.channels < 1 || format.channels > 2)
    return refuse("sound has 1 or 2 channels, not " + std::to_string(format.channels));
  if (format.sampleRate < minRate || format.sampleRate > maxRate)
    return refuse("sound has " + std::to_string(minRate) + " to " + std::to_string(maxRate) + " frames a second, not " +
                  std::to_string(format.sampleRate));
  return {};
}

Status checkPcmBits(const Format& format) {
  switch (format.bitsPerSample) {
    case 8:
    case 16:
    case 24:
    case 32:
      return {};
    default:
      return refuse("PCM samples have 8, 16, 24 or 32 bits, not " + std::to_string(format.bitsPerSample));
  }
}

}  // namespace

Status checkOutputFormat(const Format& format) {
  if (Status shape = checkShape(format); !shape.ok()) return shape;
  if (format.encoding == Encoding::Pcm) return checkPcmBits(format);
  if (format.bitsPerSample != 8)
    return refuse("mu-law and A-law samples have 8 bits, not " + std::to_string(format.bitsPerSample));
  return {};
}

Status checkInputFormat(const Format& format) {
  if (Status shape = checkShape(format); !shape.ok()) return shape;
  if (format.encoding != Encoding::Pcm) return refuse("sound is recorded as PCM only");
  return checkPcmBits(format);
}

}  // namespace lentaro::audio
