#pragma once

#include "platform/audio/Format.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lentaro::audio {

// Turns a stream of frames of one format into another: stereo is mixed down to mono by
// averaging, mono is copied to both channels, the rate is changed by linear interpolation and the
// samples are re-encoded. It keeps what it needs between calls, so a stream converts the same in
// pieces as in one go. The target must be PCM.
class FrameConverter {
 public:
  FrameConverter(const Format& from, const Format& to);

  // Appends the conversion of `byteCount` bytes (whole frames of `from`) to `out`.
  void convert(const std::uint8_t* bytes, std::size_t byteCount, std::vector<std::uint8_t>& out);

 private:
  void decode(const std::uint8_t* frame, double* channels) const;
  void encode(const double* channels, std::vector<std::uint8_t>& out) const;

  Format from_;
  Format to_;
  double step_;          // source frames per target frame
  double position_ = 0;  // of the next target frame, in source frames after previous_
  bool havePrevious_ = false;
  std::vector<double> previous_;  // the last source frame, in the target's channels
  std::vector<double> frames_;    // scratch: previous_ and the new frames
};

}  // namespace lentaro::audio
