#include "engine/sample_rate_converter.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>
#include <vector>

#include "engine/resampling_filter.h"
#include "engine/stream_roles.h"
#include "soundfile/heap.h"
#include "soundfile/result_codes.h"

namespace kv {

namespace {

constexpr double kMaxRateRatio = 64.0;
constexpr int32_t kMaxTaps = 1024;
constexpr double kMaxGain = 256.0;
constexpr int32_t kBlockFrames = 512;  // input frames read, and output frames written, at a time
constexpr int32_t kMaxSample = 32767;  // results are clipped symmetrically

bool positive(float value) { return value > 0.0f && std::isfinite(value); }

// numerator / denominator = inputRate / outputRate exactly. Each rate is a 24-bit integer times a
// power of two; with the rates at most 64 times apart both terms stay below 2^31.
void exactRatio(float inputRate, float outputRate, int64_t& numerator, int64_t& denominator) {
  int inputExponent = 0;
  int outputExponent = 0;
  numerator = static_cast<int64_t>(std::ldexp(std::frexp(inputRate, &inputExponent), 24));
  denominator = static_cast<int64_t>(std::ldexp(std::frexp(outputRate, &outputExponent), 24));
  const int shift = inputExponent - outputExponent;
  if (shift > 0) numerator <<= shift;
  if (shift < 0) denominator <<= -shift;
  const int64_t common = std::gcd(numerator, denominator);
  numerator /= common;
  denominator /= common;
}

// The input frames the taps reach, one ring per channel. Frames before the start and from the end
// of the input on are silence. Blocks are read just before a tap needs them, and the ring holds a
// block beyond the taps' span, so no tap ever reads a frame that was overwritten or not yet read.
// An input that holds fewer samples than its length ends at the last whole frame that came.
class InputRing {
 public:
  InputRing(SoundStream& in, int channels, int64_t frames, double gain)
      : in_(in), channels_(channels), frames_(frames), gain_(gain) {}

  int32_t allocate(int32_t taps) {
    size_t size = 1;
    while (size < static_cast<size_t>(taps + kBlockFrames)) size *= 2;
    mask_ = static_cast<int64_t>(size) - 1;
    try {
      for (int c = 0; c < channels_; ++c) rings_[c].assign(size, 0);
      block_.resize(static_cast<size_t>(kBlockFrames * channels_));
    } catch (const std::bad_alloc&) {
      return kOutOfMemory;
    }
    return kOk;
  }

  // Reads blocks until the frame is in the ring.
  int32_t loadThrough(int64_t frame) {
    while (loaded_ <= frame) {
      const int32_t result = loadBlock();
      if (result != kOk) return result;
    }
    return kOk;
  }

  int32_t at(int channel, int64_t frame) const { return rings_[channel][static_cast<size_t>(frame & mask_)]; }

  // The input's frames: its length, or fewer once a read has come up short.
  int64_t frames() const { return frames_; }
  bool endedEarly() const { return endedEarly_; }

 private:
  int32_t loadBlock() {
    int64_t real = std::clamp<int64_t>(frames_ - loaded_, 0, kBlockFrames);
    if (real > 0) {
      int64_t got = 0;
      const int32_t result = in_.read(block_.data(), real * channels_, got);
      if (result != kOk && result != kEndOfFile) return result;
      if (got < real * channels_) {
        real = got / channels_;
        frames_ = loaded_ + real;
        endedEarly_ = true;
      }
    }
    for (int64_t i = 0; i < kBlockFrames; ++i) {
      const size_t slot = static_cast<size_t>((loaded_ + i) & mask_);
      for (int c = 0; c < channels_; ++c) {
        // The sound is the upper 16 bits; the gain is at most 256, so the product fits.
        const int32_t sample = i < real ? block_[static_cast<size_t>(i * channels_ + c)] >> 16 : 0;
        rings_[c][slot] = static_cast<int32_t>(sample * gain_);
      }
    }
    loaded_ += kBlockFrames;
    return kOk;
  }

  SoundStream& in_;
  const int channels_;
  int64_t frames_;
  bool endedEarly_ = false;
  const double gain_;
  std::vector<int32_t, HeapAllocator<int32_t>> rings_[2];
  std::vector<int32_t, HeapAllocator<int32_t>> block_;
  int64_t mask_ = 0;
  int64_t loaded_ = 0;  // frames read into the ring so far, silence past the end included
};

// Output frames gathered into blocks, each sample clipped and placed in the upper 16 bits.
class OutputBlock {
 public:
  explicit OutputBlock(SoundStream& out) : out_(out), capacity_(kBlockFrames * out.channels()) {}

  int32_t allocate() {
    try {
      samples_.resize(static_cast<size_t>(capacity_));
    } catch (const std::bad_alloc&) {
      return kOutOfMemory;
    }
    return kOk;
  }

  int32_t add(int64_t value) {
    const int64_t clipped = std::clamp<int64_t>(value, -kMaxSample, kMaxSample);
    samples_[static_cast<size_t>(count_++)] = static_cast<int32_t>(clipped * 65536);
    return count_ == capacity_ ? flush() : kOk;
  }

  int32_t flush() {
    const int32_t result = count_ > 0 ? out_.write(samples_.data(), count_) : kOk;
    count_ = 0;
    return result;
  }

 private:
  SoundStream& out_;
  const int64_t capacity_;
  std::vector<int32_t, HeapAllocator<int32_t>> samples_;
  int64_t count_ = 0;
};

}  // namespace

int32_t planSampleRateConversion(float inputRate, float outputRate, float lengthFactor, float cutoff,
                                 SampleRateConversion& plan) {
  if (!positive(inputRate) || !positive(outputRate) || !positive(lengthFactor) || !positive(cutoff) || cutoff > 1.0f) {
    return kBadCall;
  }
  const double ratio = static_cast<double>(inputRate) / outputRate;
  if (ratio > kMaxRateRatio || ratio < 1.0 / kMaxRateRatio) return kBadCall;

  SampleRateConversion p;
  p.step = static_cast<float>(ratio * kTablePointsPerFrame);
  p.wholeStep = static_cast<int32_t>(p.step);
  // Lowering the rate stretches the filter so that its cutoff follows the output's Nyquist frequency.
  p.filterScale = std::max(p.wholeStep, kTablePointsPerFrame);
  const double points = 10.0 * p.filterScale * lengthFactor;
  if (points > 2.0 * kTablePointsPerFrame * kMaxTaps) return kBadCall;  // before the counts below could overflow
  p.filterPoints = 1 + static_cast<int32_t>(points);
  p.halfLength = (p.filterPoints - 1) / 2;
  // The window must reach at least one input frame to each side of the centre.
  if (p.halfLength < kTablePointsPerFrame) return kBadCall;
  // Enough taps that every table point inside the window is weighed, whatever the phase.
  p.tapsPerFrame = 2 * ((p.halfLength - 1) / kTablePointsPerFrame) + 2;
  if (p.tapsPerFrame > kMaxTaps) return kBadCall;
  exactRatio(inputRate, outputRate, p.advanceNumerator, p.advanceDenominator);
  p.integerStepping = (kTablePointsPerFrame * p.advanceNumerator) % p.advanceDenominator == 0;
  plan = p;
  return kOk;
}

int32_t convertSampleRate(SoundStream& in, SoundStream& out, float lengthFactor, float cutoff, float outputRate,
                          float gain) {
  const int inChannels = in.channels();
  const int outChannels = out.channels();
  if (inChannels < 1 || inChannels > 2 || outChannels < 1 || outChannels > 2) return kBadCall;
  if (!(std::fabs(gain) <= kMaxGain) || !readableIntoWritable(in, out)) return kBadCall;
  SampleRateConversion plan;
  int32_t result = planSampleRateConversion(in.sampleRate(), outputRate, lengthFactor, cutoff, plan);
  if (result != kOk) return result;
  if ((result = in.seekFrame(0)) != kOk) return result;

  const int64_t frames = in.length() / inChannels;
  if (frames == 0) return kOk;

  ResamplingFilter filter;
  result = buildResamplingFilter(plan, cutoff, filter);
  if (result != kOk) return result;
  InputRing ring(in, inChannels, frames, gain);
  OutputBlock block(out);
  if ((result = ring.allocate(plan.tapsPerFrame)) != kOk || (result = block.allocate()) != kOk) return result;

  const int32_t tapsBefore = plan.tapsPerFrame / 2 - 1;  // the rest lie at and after the frame
  const int64_t denominator = plan.advanceDenominator;
  const int64_t wholeAdvance = plan.advanceNumerator / denominator;
  const int64_t partAdvance = plan.advanceNumerator % denominator;
  const int64_t half = int64_t{1} << (kCoefficientBits - 1);  // rounds the sums to whole samples

  // Output frame n lies at input frame + remainder / denominator.
  int64_t frame = 0;
  int64_t remainder = 0;
  while (frame < ring.frames()) {
    if ((result = ring.loadThrough(frame + tapsBefore + 1)) != kOk) return result;
    if (frame >= ring.frames()) break;  // the input ended early, before this frame

    const int64_t points = kTablePointsPerFrame * remainder;
    const int32_t phase = static_cast<int32_t>(points / denominator);
    const int64_t fraction = ((points % denominator) << 16) / denominator;  // of a table point, 16 bits

    // The tap on input frame p weighs it by the filter at (p - position) table points; between
    // table points the coefficient lies fraction of the way towards the next point down.
    int64_t sums[2] = {0, 0};
    int32_t point = -kTablePointsPerFrame * tapsBefore - phase;
    for (int64_t p = frame - tapsBefore; p <= frame + tapsBefore + 1; ++p, point += kTablePointsPerFrame) {
      int64_t coefficient = filter.at(point);
      if (fraction != 0) coefficient += (fraction * (filter.at(point - 1) - coefficient) + 0x8000) >> 16;
      for (int c = 0; c < inChannels; ++c) sums[c] += coefficient * ring.at(c, p);
    }

    if (inChannels == 2 && outChannels == 1) {
      result = block.add((sums[0] + sums[1] + 2 * half) >> (kCoefficientBits + 1));
    } else {
      for (int c = 0; c < outChannels && result == kOk; ++c) {
        result = block.add((sums[inChannels == 2 ? c : 0] + half) >> kCoefficientBits);
      }
    }
    if (result != kOk) return result;

    frame += wholeAdvance;
    remainder += partAdvance;
    if (remainder >= denominator) {
      remainder -= denominator;
      ++frame;
    }
  }
  result = block.flush();
  return result == kOk && ring.endedEarly() ? kEndOfFile : result;
}

}  // namespace kv
