#include "platform/audio/FrameConverter.h"

#include "soundfile/g711.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lentaro::audio {

namespace {

constexpr int maxChannels = 2;

double decodeSample(const std::uint8_t* p, const Format& format) {
  switch (format.encoding) {
    case Encoding::MuLaw:
      return kv::muLawToLinear(*p) / 32768.0;
    case Encoding::ALaw:
      return kv::aLawToLinear(*p) / 32768.0;
    case Encoding::Pcm:
      break;
  }
  switch (format.bitsPerSample) {
    case 8:
      return (p[0] - 128) / 128.0;
    case 16:
      return static_cast<std::int16_t>(p[0] | p[1] << 8) / 32768.0;
    case 24: {
      const std::uint32_t raw = p[0] | p[1] << 8 | static_cast<std::uint32_t>(p[2]) << 16;
      const std::int32_t value = static_cast<std::int32_t>(raw << 8) >> 8;
      return value / 8388608.0;
    }
    default: {
      const std::uint32_t raw = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
      return static_cast<std::int32_t>(raw) / 2147483648.0;
    }
  }
}

// Rounds v × scale to the nearest sample, clipping what lies outside.
std::int64_t quantise(double v, double scale) {
  const double top = scale - 1;
  return static_cast<std::int64_t>(std::clamp(std::round(v * scale), -scale, top));
}

void encodeSample(double v, const Format& format, std::vector<std::uint8_t>& out) {
  switch (format.bitsPerSample) {
    case 8:
      out.push_back(static_cast<std::uint8_t>(quantise(v, 128) + 128));
      return;
    case 16: {
      const auto s = static_cast<std::uint32_t>(quantise(v, 32768));
      out.insert(out.end(), {static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(s >> 8)});
      return;
    }
    case 24: {
      const auto s = static_cast<std::uint32_t>(quantise(v, 8388608));
      out.insert(out.end(),
                 {static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(s >> 8), static_cast<std::uint8_t>(s >> 16)});
      return;
    }
    default: {
      const auto s = static_cast<std::uint32_t>(quantise(v, 2147483648.0));
      out.insert(out.end(), {static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(s >> 8),
                             static_cast<std::uint8_t>(s >> 16), static_cast<std::uint8_t>(s >> 24)});
      return;
    }
  }
}

}  // namespace

FrameConverter::FrameConverter(const Format& from, const Format& to)
    : from_(from), to_(to), step_(0), previous_(static_cast<std::size_t>(std::max(to.channels, 0))) {
  if (!checkOutputFormat(from).ok() || !checkInputFormat(to).ok())
    throw std::invalid_argument("FrameConverter: unusable format");
  step_ = static_cast<double>(from.sampleRate) / to.sampleRate;
}

void FrameConverter::decode(const std::uint8_t* frame, double* channels) const {
  double samples[maxChannels];
  for (int c = 0; c < from_.channels; ++c) samples[c] = decodeSample(frame + c * from_.bytesPerSample(), from_);
  if (to_.channels == from_.channels) {
    std::copy(samples, samples + from_.channels, channels);
  } else if (to_.channels == 1) {
    channels[0] = (samples[0] + samples[1]) / 2;
  } else {
    channels[0] = channels[1] = samples[0];
  }
}

void FrameConverter::encode(const double* channels, std::vector<std::uint8_t>& out) const {
  for (int c = 0; c < to_.channels; ++c) encodeSample(channels[c], to_, out);
}

void FrameConverter::convert(const std::uint8_t* bytes, std::size_t byteCount, std::vector<std::uint8_t>& out) {
  const auto inFrameBytes = static_cast<std::size_t>(from_.bytesPerFrame());
  const std::size_t count = byteCount / inFrameBytes;
  if (from_ == to_) {
    out.insert(out.end(), bytes, bytes + count * inFrameBytes);
    return;
  }
  double frame[maxChannels];
  if (from_.sampleRate == to_.sampleRate) {
    for (std::size_t i = 0; i < count; ++i) {
      decode(bytes + i * inFrameBytes, frame);
      encode(frame, out);
    }
    return;
  }

  // Linear interpolation between neighbouring source frames; the last frame of each piece is
  // kept, as the first neighbour of the next.
  const auto channels = static_cast<std::size_t>(to_.channels);
  frames_.clear();
  if (havePrevious_) frames_.insert(frames_.end(), previous_.begin(), previous_.end());
  for (std::size_t i = 0; i < count; ++i) {
    decode(bytes + i * inFrameBytes, frame);
    frames_.insert(frames_.end(), frame, frame + channels);
  }
  const std::size_t available = frames_.size() / channels;
  if (available == 0) return;
  while (position_ < static_cast<double>(available - 1)) {
    const auto index = static_cast<std::size_t>(position_);
    const double fraction = position_ - static_cast<double>(index);
    const double* a = &frames_[index * channels];
    const double* b = a + channels;
    for (std::size_t c = 0; c < channels; ++c) frame[c] = a[c] + (b[c] - a[c]) * fraction;
    encode(frame, out);
    position_ += step_;
  }
  std::copy(frames_.end() - static_cast<std::ptrdiff_t>(channels), frames_.end(), previous_.begin());
  havePrevious_ = true;
  position_ -= static_cast<double>(available - 1);
}

}  // namespace lentaro::audio
