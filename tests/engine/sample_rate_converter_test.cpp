#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "engine/resampling_filter.h"
#include "engine/sample_rate_converter.h"
#include "soundfile/heap.h"
#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/memory_file.h"
#include "tests/soundfile/support/riff_builder.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// 16-bit sound in a memory stream of that rate; samples interleaved.
std::unique_ptr<kv::SoundStream> soundOf(float rate, int channels, const std::vector<int32_t>& samples) {
  auto stream =
      kv::SoundStream::createMemory(kv::SampleFormat::make(rate, 2, kv::kEncodingSigned, channels), nullptr, 0);
  std::vector<int32_t> full;
  for (int32_t s : samples) full.push_back(s * 65536);
  if (!full.empty()) stream->write(full.data(), static_cast<int64_t>(full.size()));
  return stream;
}

std::unique_ptr<kv::SoundStream> emptySound(float rate, int channels) { return soundOf(rate, channels, {}); }

// What a stream holds, as 16-bit samples.
std::vector<int32_t> samplesOf(kv::SoundStream& stream) {
  std::vector<int32_t> samples(static_cast<size_t>(stream.length()));
  int64_t got = 0;
  stream.seekFrame(0);
  if (!samples.empty()) stream.read(samples.data(), stream.length(), got);
  for (int32_t& s : samples) s >>= 16;
  return samples;
}

std::vector<int32_t> channelOf(const std::vector<int32_t>& samples, int channels, int channel) {
  std::vector<int32_t> one;
  for (size_t i = static_cast<size_t>(channel); i < samples.size(); i += static_cast<size_t>(channels)) {
    one.push_back(samples[i]);
  }
  return one;
}

std::vector<int32_t> sine(int frames, double frequency, double rate, double amplitude) {
  std::vector<int32_t> samples;
  for (int n = 0; n < frames; ++n) {
    samples.push_back(static_cast<int32_t>(std::lround(amplitude * std::sin(2.0 * kPi * frequency * n / rate))));
  }
  return samples;
}

// Uniform noise in [-amplitude, amplitude], the same for the same seed.
std::vector<int32_t> noise(int count, int32_t amplitude, uint32_t seed) {
  std::vector<int32_t> samples;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1664525u + 1013904223u;
    samples.push_back(static_cast<int32_t>(seed >> 16) % (2 * amplitude + 1) - amplitude);
  }
  return samples;
}

// Energy of what differs from an ideal sine over frames [from, to), relative to the sine's, in dB.
double residualDb(const std::vector<int32_t>& got, double frequency, double rate, double amplitude, size_t from,
                  size_t to) {
  double error = 0.0;
  double signal = 0.0;
  for (size_t n = from; n < to; ++n) {
    const double ideal = amplitude * std::sin(2.0 * kPi * frequency * static_cast<double>(n) / rate);
    error += (got[n] - ideal) * (got[n] - ideal);
    signal += ideal * ideal;
  }
  return 10.0 * std::log10(error / signal);
}

double besselI0(double x) {
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k < 60; ++k) {
    term *= x / 2.0 / k;
    sum += term * term;
  }
  return sum;
}

// The Kaiser-windowed sinc the converter samples, at t input frames from the centre, computed
// directly from its definition.
double windowedSinc(double t, const kv::SampleRateConversion& plan, double cutoff) {
  const double point = 120.0 * std::fabs(t);
  if (point >= plan.halfLength) return 0.0;
  const double halfWidth = (plan.filterPoints - 1) / 2.0;
  const double window = besselI0(6.8 * std::sqrt(1.0 - (point / halfWidth) * (point / halfWidth))) / besselI0(6.8);
  const double scale = plan.filterScale;
  const double sinc = point == 0.0 ? cutoff : scale * std::sin(kPi * point * cutoff / scale) / (kPi * point);
  return window * sinc;
}

// Windowed-sinc resampling in floating point: output frame n lies n × inRate / outRate input
// frames in, and weighs the input frames of its taps (silence outside the input) by the filter,
// scaled to unity gain.
std::vector<double> idealResampling(const std::vector<int32_t>& input, const kv::SampleRateConversion& plan,
                                    double cutoff) {
  const int64_t frames = static_cast<int64_t>(input.size());
  const int64_t before = plan.tapsPerFrame / 2 - 1;
  std::vector<double> output;
  for (int64_t n = 0;; ++n) {
    const double x = static_cast<double>(n) * plan.advanceNumerator / plan.advanceDenominator;
    const int64_t frame = n * plan.advanceNumerator / plan.advanceDenominator;
    if (frame >= frames) break;
    double sum = 0.0;
    double weight = 0.0;
    for (int64_t p = frame - before; p <= frame + before + 1; ++p) {
      const double w = windowedSinc(static_cast<double>(p) - x, plan, cutoff);
      weight += w;
      if (p >= 0 && p < frames) sum += w * input[static_cast<size_t>(p)];
    }
    output.push_back(sum / weight);
  }
  return output;
}

int32_t convert(kv::SoundStream& in, kv::SoundStream& out) {
  return kv::convertSampleRate(in, out, 1.0f, 1.0f, out.sampleRate(), 1.0f);
}

struct PlanCase {
  float inputRate;
  float outputRate;
  float step;
  int32_t wholeStep;
  bool integerStepping;
  int32_t filterScale;
  int32_t filterPoints;
  int32_t halfLength;
  int32_t tapsPerFrame;
};

TEST(SampleRateConversionPlan, DerivesStepFilterAndTapsFromTheRates) {
  const PlanCase cases[] = {
      {22050.0f, 44100.0f, 60.0f, 60, true, 120, 1201, 600, 10},
      {44100.0f, 22050.0f, 240.0f, 240, true, 240, 2401, 1200, 20},
      {48000.0f, 44100.0f, 130.6122449f, 130, false, 130, 1301, 650, 12},  // the window reaches 5.4 frames
      {44100.0f, 48000.0f, 110.25f, 110, false, 120, 1201, 600, 10},
      {8000.0f, 48000.0f, 20.0f, 20, true, 120, 1201, 600, 10},
  };
  for (const PlanCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.inputRate << " to " << c.outputRate);
    kv::SampleRateConversion plan;
    ASSERT_EQ(kv::planSampleRateConversion(c.inputRate, c.outputRate, 1.0f, 1.0f, plan), kv::kOk);
    EXPECT_FLOAT_EQ(plan.step, c.step);
    EXPECT_EQ(plan.wholeStep, c.wholeStep);
    EXPECT_EQ(plan.integerStepping, c.integerStepping);
    EXPECT_EQ(plan.filterScale, c.filterScale);
    EXPECT_EQ(plan.filterPoints, c.filterPoints);
    EXPECT_EQ(plan.halfLength, c.halfLength);
    EXPECT_EQ(plan.tapsPerFrame, c.tapsPerFrame);
    EXPECT_DOUBLE_EQ(static_cast<double>(plan.advanceNumerator) / plan.advanceDenominator,
                     static_cast<double>(c.inputRate) / c.outputRate);
  }
}

// Unity gain in every phase, exactly, and a symmetric table, so that coefficients interpolated
// between neighbouring phases keep it.
TEST(ResamplingFilter, EveryPhaseSumsToExactlyOne) {
  const float rates[][2] = {{22050.0f, 44100.0f}, {44100.0f, 22050.0f}, {48000.0f, 44100.0f}, {44100.0f, 48000.0f}};
  for (const auto& r : rates) {
    for (float cutoff : {1.0f, 0.3f}) {
      SCOPED_TRACE(testing::Message() << r[0] << " to " << r[1] << ", cutoff " << cutoff);
      kv::SampleRateConversion plan;
      ASSERT_EQ(kv::planSampleRateConversion(r[0], r[1], 1.0f, cutoff, plan), kv::kOk);
      kv::ResamplingFilter filter;
      ASSERT_EQ(kv::buildResamplingFilter(plan, cutoff, filter), kv::kOk);
      const int32_t before = plan.tapsPerFrame / 2 - 1;
      for (int32_t phase = 0; phase <= 120; ++phase) {
        int64_t sum = 0;
        for (int32_t m = -before; m <= before + 1; ++m) sum += filter.at(120 * m - phase);
        EXPECT_EQ(sum, 1 << kv::kCoefficientBits) << "phase " << phase;
      }
      for (int32_t point = 1; point <= filter.reach; ++point) ASSERT_EQ(filter.at(point), filter.at(-point));
    }
  }
}

TEST(SampleRateConversion, RefusesUnusableArgumentsBeforeAllocatingAnything) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    float inputRate, outputRate, lengthFactor, cutoff, gain;
    int inChannels, outChannels;
  };
  const Case cases[] = {
      {"zero output rate", 44100, 0, 1, 1, 1, 1, 1},
      {"negative output rate", 44100, -44100, 1, 1, 1, 1, 1},
      {"NaN output rate", 44100, nan, 1, 1, 1, 1, 1},
      {"infinite output rate", 44100, infinity, 1, 1, 1, 1, 1},
      {"zero input rate", 0, 44100, 1, 1, 1, 1, 1},
      {"NaN input rate", nan, 44100, 1, 1, 1, 1, 1},
      {"rates far apart, down", 44100, 1, 1, 1, 1, 1, 1},
      {"rates far apart, up", 1, 44100, 1, 1, 1, 1, 1},
      {"huge length factor", 48000, 44100, 1e9f, 1, 1, 1, 1},
      {"NaN length factor", 48000, 44100, nan, 1, 1, 1, 1},
      {"filter shorter than a frame each side", 48000, 44100, 0.1f, 1, 1, 1, 1},
      {"zero cutoff", 48000, 44100, 1, 0, 1, 1, 1},
      {"cutoff above one", 48000, 44100, 1, 1.5f, 1, 1, 1},
      {"NaN gain", 48000, 44100, 1, 1, nan, 1, 1},
      {"huge gain", 48000, 44100, 1, 1, 1e6f, 1, 1},
      {"four input channels", 48000, 44100, 1, 1, 1, 4, 1},
      {"four output channels", 48000, 44100, 1, 1, 1, 1, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto in = soundOf(c.inputRate, c.inChannels, std::vector<int32_t>(4096, 1000));
    auto out = emptySound(44100.0f, c.outChannels);
    const std::size_t before = kv::heapBytesInUse();
    kv::heapResetPeak();
    EXPECT_EQ(kv::convertSampleRate(*in, *out, c.lengthFactor, c.cutoff, c.outputRate, c.gain), kv::kBadCall);
    EXPECT_LT(kv::heapPeakBytes() - before, 4096u);
    EXPECT_EQ(out->length(), 0);
  }
}

TEST(SampleRateConversion, RefusesStreamsThatCannotPlayTheirPart) {
  auto in = soundOf(22050.0f, 1, std::vector<int32_t>(100, 5));
  EXPECT_EQ(convert(*in, *in), kv::kBadCall);
}

TEST(SampleRateConversion, AnEmptyInputWritesNothing) {
  auto in = emptySound(22050.0f, 2);
  auto out = emptySound(44100.0f, 2);
  EXPECT_EQ(convert(*in, *out), kv::kOk);
  EXPECT_EQ(out->length(), 0);
}

// Doubling the rate puts every second output frame on an input frame, where the filter passes
// that frame alone: the input comes through unchanged, both channels, first frame to last.
TEST(SampleRateConversion, DoublingTheRateKeepsEveryInputFrameOnBothChannels) {
  const int frames = 1500;  // ends inside the third block read
  std::vector<int32_t> input = noise(2 * frames, 30000, 7);
  input[2 * frames - 2] = -31111;  // a last frame that cannot pass for silence
  input[2 * frames - 1] = 29999;
  auto in = soundOf(22050.0f, 2, input);
  auto out = emptySound(44100.0f, 2);
  ASSERT_EQ(convert(*in, *out), kv::kOk);

  const std::vector<int32_t> output = samplesOf(*out);
  ASSERT_EQ(output.size(), 2u * 2 * frames);
  for (int n = 0; n < frames; ++n) {
    ASSERT_EQ(output[4 * n], input[2 * n]) << "left, frame " << n;
    ASSERT_EQ(output[4 * n + 1], input[2 * n + 1]) << "right, frame " << n;
  }
}

// The header claims 3000 frames, the data holds 1700 and half a frame, so the fourth block's read
// comes up short: the conversion ends at the last whole frame that came, writes everything up to
// there and says the input ended early.
TEST(SampleRateConversion, AnInputShorterThanItsHeaderEndsAtItsLastWholeFrame) {
  const int held = 1700;
  std::vector<int16_t> stored;
  for (int32_t sample : noise(2 * held + 1, 30000, 5)) stored.push_back(static_cast<int16_t>(sample));
  auto in = kv::SoundStream::openRead(std::make_unique<kvtest::SizeUnknownFile>(
      kvtest::riff({kvtest::chunk("fmt ", kvtest::fmtBody(1, 2, 22050, 16)),
                    kvtest::chunk("data", kvtest::pcm16(stored), 2 * 2 * 3000)})));
  ASSERT_EQ(in->lastError(), kv::kOk);
  ASSERT_EQ(in->length(), 2 * 3000);
  auto out = emptySound(44100.0f, 2);
  EXPECT_EQ(convert(*in, *out), kv::kEndOfFile);

  // Every second output frame lies on an input frame, which passes unchanged.
  const std::vector<int32_t> output = samplesOf(*out);
  ASSERT_EQ(output.size(), 2u * 2 * held);
  for (int n = 0; n < held; ++n) {
    ASSERT_EQ(output[4 * n], stored[2 * n]) << "left, frame " << n;
    ASSERT_EQ(output[4 * n + 1], stored[2 * n + 1]) << "right, frame " << n;
  }
}

struct IdealCase {
  float inputRate;
  float outputRate;
  int channels;
  float cutoff;
  double tolerance;  // 16-bit steps
};

// Against floating-point windowed-sinc resampling of noise, whose first block is silent but for
// frames the ring would wrap around to, across several blocks and past the end.
TEST(SampleRateConversion, FollowsTheWindowedSincFromSilentStartToEnd) {
  const IdealCase cases[] = {
      // Between table points the coefficients are interpolated: a little further from the ideal.
      {22050.0f, 44100.0f, 2, 1.0f, 1.0}, {44100.0f, 22050.0f, 1, 1.0f, 1.0}, {48000.0f, 44100.0f, 2, 1.0f, 1.5},
      {44100.0f, 48000.0f, 1, 1.0f, 1.5}, {44100.0f, 48000.0f, 1, 0.5f, 2.5},
  };
  for (const IdealCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.inputRate << " to " << c.outputRate << ", cutoff " << c.cutoff);
    const int frames = 2600;
    std::vector<int32_t> input = noise(frames * c.channels, 12000, 11);
    // Silence up to frame 1000 but for the frames at the end of a 1024-frame ring.
    for (int i = 0; i < 1000 * c.channels; ++i) input[static_cast<size_t>(i)] = 0;
    auto in = soundOf(c.inputRate, c.channels, input);
    auto out = emptySound(c.outputRate, c.channels);
    ASSERT_EQ(kv::convertSampleRate(*in, *out, 1.0f, c.cutoff, c.outputRate, 1.0f), kv::kOk);
    kv::SampleRateConversion plan;
    ASSERT_EQ(kv::planSampleRateConversion(c.inputRate, c.outputRate, 1.0f, c.cutoff, plan), kv::kOk);

    const std::vector<int32_t> output = samplesOf(*out);
    for (int channel = 0; channel < c.channels; ++channel) {
      const std::vector<double> ideal = idealResampling(channelOf(input, c.channels, channel), plan, c.cutoff);
      const std::vector<int32_t> got = channelOf(output, c.channels, channel);
      ASSERT_EQ(got.size(), ideal.size());
      for (size_t n = 0; n < got.size(); ++n) {
        ASSERT_NEAR(got[n], ideal[n], c.tolerance) << "channel " << channel << ", frame " << n;
      }
    }
  }
}

// A tone keeps its frequency and phase: output frame n is the tone at n / outputRate seconds.
TEST(SampleRateConversion, AToneConvertedAndBackStaysCloseToTheIdealSine) {
  const double amplitude = 16000.0;
  const double frequency = 5000.0;
  const int frames = 48000;
  auto original = soundOf(48000.0f, 1, sine(frames, frequency, 48000.0, amplitude));
  auto down = emptySound(44100.0f, 1);
  ASSERT_EQ(convert(*original, *down), kv::kOk);
  auto back = emptySound(48000.0f, 1);
  ASSERT_EQ(convert(*down, *back), kv::kOk);

  const std::vector<int32_t> at44 = samplesOf(*down);
  const std::vector<int32_t> at48 = samplesOf(*back);
  ASSERT_EQ(at44.size(), 44100u);
  ASSERT_EQ(at48.size(), 48000u);
  const double downDb = residualDb(at44, frequency, 44100.0, amplitude, 1000, 43100);
  const double backDb = residualDb(at48, frequency, 48000.0, amplitude, 1000, 47000);
  EXPECT_LT(downDb, -66.0);  // about -72.6 dB
  EXPECT_LT(backDb, -66.0);  // about -70.1 dB
}

struct ConstantCase {
  float inputRate;
  float outputRate;
  int32_t value;
  float gain;
  int32_t expected;
};

// Every phase of the filter has unity gain: a constant comes out as it went in, times the gain,
// clipped to ±32767 (never -32768).
TEST(SampleRateConversion, PassesAConstantExactlyTimesTheGainAndClipsSymmetrically) {
  const ConstantCase cases[] = {
      {48000.0f, 44100.0f, 12345, 1.0f, 12345},   {44100.0f, 48000.0f, -23456, 1.0f, -23456},
      {22050.0f, 44100.0f, 32767, 1.0f, 32767},   {44100.0f, 22050.0f, -32768, 1.0f, -32767},
      {48000.0f, 44100.0f, -32768, 1.0f, -32767}, {44100.0f, 48000.0f, 1000, 2.0f, 2000},
      {48000.0f, 44100.0f, 1000, -0.5f, -500},    {44100.0f, 48000.0f, 30000, 2.0f, 32767},
  };
  for (const ConstantCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.inputRate << " to " << c.outputRate << ", " << c.value << " x " << c.gain);
    auto in = soundOf(c.inputRate, 1, std::vector<int32_t>(2000, c.value));
    auto out = emptySound(c.outputRate, 1);
    ASSERT_EQ(kv::convertSampleRate(*in, *out, 1.0f, 1.0f, c.outputRate, c.gain), kv::kOk);
    const std::vector<int32_t> output = samplesOf(*out);
    for (size_t n = 20; n + 20 < output.size(); ++n) ASSERT_EQ(output[n], c.expected) << "frame " << n;
  }
}

TEST(SampleRateConversion, StereoToMonoIsTheAverageOfTheFilteredChannels) {
  std::vector<int32_t> input = noise(2 * 3000, 32000, 3);
  auto stereoIn = soundOf(48000.0f, 2, input);
  auto stereoOut = emptySound(44100.0f, 2);
  ASSERT_EQ(convert(*stereoIn, *stereoOut), kv::kOk);
  auto monoIn = soundOf(48000.0f, 2, input);
  auto monoOut = emptySound(44100.0f, 1);
  ASSERT_EQ(convert(*monoIn, *monoOut), kv::kOk);

  const std::vector<int32_t> stereo = samplesOf(*stereoOut);
  const std::vector<int32_t> mono = samplesOf(*monoOut);
  ASSERT_EQ(stereo.size(), 2 * mono.size());
  int differing = 0;
  for (size_t n = 0; n < mono.size(); ++n) {
    const int32_t left = stereo[2 * n];
    const int32_t right = stereo[2 * n + 1];
    if (left == 32767 || left == -32767 || right == 32767 || right == -32767) continue;  // clipped before averaging
    ASSERT_NEAR(mono[n], (left + right) / 2.0, 1.0) << "frame " << n;
    differing += left != right;
  }
  EXPECT_GT(differing, 1000);
}

TEST(SampleRateConversion, MonoToStereoWritesEachFrameToBothChannels) {
  auto in = soundOf(44100.0f, 1, noise(3000, 20000, 5));
  auto out = emptySound(48000.0f, 2);
  ASSERT_EQ(convert(*in, *out), kv::kOk);
  const std::vector<int32_t> output = samplesOf(*out);
  ASSERT_EQ(output.size(), 2u * 3266);
  for (size_t n = 0; n < output.size(); n += 2) ASSERT_EQ(output[n], output[n + 1]) << "frame " << n / 2;
}

TEST(SampleRateConversion, AFailedWriteIsReturned) {
  auto in = soundOf(22050.0f, 1, noise(3000, 20000, 9));
  std::vector<int16_t> room(1000);  // a borrowed buffer that cannot grow
  auto out = kv::SoundStream::createMemory(kv::SampleFormat::make(44100.0f, 2, kv::kEncodingSigned, 1), room.data(), 0);
  EXPECT_EQ(convert(*in, *out), kv::kOutOfMemory);
}

}  // namespace
