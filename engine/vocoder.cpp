#include "engine/vocoder.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "engine/bin_phases.h"
#include "engine/fft.h"
#include "engine/linear_prediction.h"
#include "engine/vector_clones.h"
#include "engine/vocoder_sizes.h"
#include "engine/vocoder_windows.h"
#include "soundfile/heap.h"
#include "soundfile/result_codes.h"

namespace kv {

namespace {

constexpr double kSampleToReal = 1.0 / 2147483647.0;
constexpr double kRealToSample = 2147483647.0;
// Output samples gathered before they are written: a pass writes a few hops at a time, not a
// hop's few hundred samples with a call of its own.
constexpr int kEmitBlock = 16384;
// Input frames read ahead together, as far as the input ring has room: the pass reads and writes
// every few hops, not every hop.
constexpr int64_t kReadAheadFrames = 16384;
// Input samples read together at most: frames are read in parts when they hold more, so that a file
// of thousands of channels needs no more memory than a stereo one.
constexpr int64_t kReadSamples = 1 << 16;
// The input is run on before its start and past its end by a predictor of this order, fitted over
// this many frames at each end (or all of a shorter input).
constexpr int kPredictorOrder = 32;
constexpr int kFitFrames = 2048;

using Reals = std::vector<double, HeapAllocator<double>>;
using Floats = std::vector<float, HeapAllocator<float>>;
using Samples = std::vector<int32_t, HeapAllocator<int32_t>>;

// out[i] += a[i] × b[i] over arrays that do not overlap.
KV_INLINE void multiplyAddLoop(float* __restrict out, const float* __restrict a, const float* __restrict b, int count) {
  for (int i = 0; i < count; ++i) out[i] += a[i] * b[i];
}

void multiplyAdd(float* out, const float* a, const float* b, int count) {
  runOnVectorPath<multiplyAddLoop>(out, a, b, count);
}

// out[i] = a[i] × b[i] over arrays that do not overlap.
KV_INLINE void multiplyLoop(float* __restrict out, const float* __restrict a, const float* __restrict b, int count) {
  for (int i = 0; i < count; ++i) out[i] = a[i] * b[i];
}

void multiply(float* out, const float* a, const float* b, int count) {
  runOnVectorPath<multiplyLoop>(out, a, b, count);
}

// out[i] += window[i] × frame at position + i × step (both not negative), linearly interpolated.
// The frame is periodic with a power-of-two period of mask + 1 samples and holds its first sample
// again after its last. Positions are counted in double, which keeps their fractions to far below
// a sample however far they run.
KV_INLINE void multiplyAddResampledLoop(float* __restrict out, const float* __restrict frame, int mask, double position,
                                        double step, const float* __restrict window, int count) {
  for (int i = 0; i < count; ++i) {
    const double x = position + i * step;
    const int whole = static_cast<int>(x);
    const int at = whole & mask;
    const auto fraction = static_cast<float>(x - whole);
    out[i] += window[i] * (frame[at] + (frame[at + 1] - frame[at]) * fraction);
  }
}

void multiplyAddResampled(float* out, const float* frame, int mask, double position, double step, const float* window,
                          int count) {
  runOnVectorPath<multiplyAddResampledLoop>(out, frame, mask, position, step, window, count);
}

int64_t wrap(int64_t value, int64_t length) {
  const int64_t r = value % length;
  return r < 0 ? r + length : r;
}

// Clipped to full scale, NaN as silence; the conversion, in double, where full scale is exact,
// truncates as the stored forms expect. The ring's slots are cleared for the next frames as they
// are read. Without branches, so that it vectorises.
KV_INLINE void takeSamplesLoop(float* __restrict ring, int32_t* __restrict samples, int count) {
  for (int i = 0; i < count; ++i) {
    float value = ring[i];
    ring[i] = 0.0f;
    value = value > 1.0f ? 1.0f : value;
    value = value < -1.0f ? -1.0f : value;
    value = value == value ? value : 0.0f;
    samples[i] = static_cast<int32_t>(static_cast<double>(value) * kRealToSample);
  }
}

void takeSamples(float* ring, int32_t* samples, int count) { runOnVectorPath<takeSamplesLoop>(ring, samples, count); }

// Frames reduced to one real sample each: the chosen channel, or the mix of all. Two channels are
// halved before they are added, so full-scale frames cannot overflow. One loop for each case, so
// that the common ones vectorise.
template <typename Real>
void monoSamples(const int32_t* frames, int channels, int choice, Real* out, int64_t count) {
  if (choice >= 1 && choice <= channels) {
    for (int64_t f = 0; f < count; ++f) out[f] = static_cast<Real>(frames[f * channels + choice - 1] * kSampleToReal);
  } else if (channels == 1) {
    for (int64_t f = 0; f < count; ++f) out[f] = static_cast<Real>(frames[f] * kSampleToReal);
  } else if (channels == 2) {
    for (int64_t f = 0; f < count; ++f) {
      out[f] = static_cast<Real>(((frames[2 * f] >> 1) + (frames[2 * f + 1] >> 1)) * kSampleToReal);
    }
  } else {
    for (int64_t f = 0; f < count; ++f) {
      double sum = 0.0;
      for (int c = 0; c < channels; ++c) sum += frames[f * channels + c];
      out[f] = static_cast<Real>(static_cast<int32_t>(sum / channels) * kSampleToReal);
    }
  }
}

}  // namespace

class PhaseVocoder {
 public:
  PhaseVocoder(SoundStream& input, const VocoderSizes& sizes, int channelChoice)
      : input_(input),
        z_(sizes),
        channels_(input.channels()),
        choice_(channelChoice),
        outputPerInput_(sizes.timeRatio / sizes.pitchRatio),
        // A bin's phase advance over D input samples is carried over to the IO output samples a
        // frame really moves by, which at p times the frequency span IO·p input samples (the
        // nominal I differs from that by the rounding of NO and the truncation of IO).
        phaseScale_(sizes.outputHop * sizes.pitchFactor / sizes.analysisHop),
        // The NS-point frame is read NS·p/N of its samples per output sample, so that its bin k
        // sounds at k·p/N cycles a sample: p times the bin's analysis frequency, however NO was
        // rounded. Taking the step from NO instead would move every pitch by N/NO.
        frameStep_(sizes.inverseSize * sizes.pitchFactor / sizes.fftSize),
        readFrames_(std::max<int64_t>(1, std::min(kReadAheadFrames, kReadSamples / channels_))) {}

  int32_t prepare();
  int32_t run(SoundStream* output, SamplePlayer* player);
  SoundStream& input() { return input_; }

 private:
  void runOnBeforeStart();
  void fitEnd();
  int32_t readInput();
  void analyse();
  void synthesise();
  void overlapAdd();
  int32_t emitUpTo(int64_t end);
  int32_t writePending();
  int32_t finish(int32_t code, bool stopped);

  SoundStream& input_;
  SoundStream* output_ = nullptr;
  SamplePlayer* player_ = nullptr;
  const VocoderSizes z_;
  const int channels_;
  const int choice_;
  const double outputPerInput_;  // T / P
  const double phaseScale_;
  const double frameStep_;    // frame samples per output sample
  const int64_t readFrames_;  // frames read together at most

  Floats inputRing_, outputRing_;
  Floats analysisWindow_, synthesisWindow_;
  Floats analysis_, synthesis_;
  // Per bin (engine/bin_phases.h): the last analysis value and turn, which carry over, and room
  // for each hop's work.
  Floats previousReal_, previousImaginary_, turn_, advanced_, power_;
  std::vector<int, HeapAllocator<int>> lastPeak_;
  // Room to fit the predictor and to run the input on before its start, and the predictor.
  Reals runOn_, fitWork_, predictor_;
  Samples frames_, emitted_;
  std::unique_ptr<FftPlan> forward_, inverse_;

  int64_t centreIn_ = 0;   // input time at the analysis window's centre
  int64_t centreOut_ = 0;  // output time at the synthesis frame's centre
  int64_t framesRead_ = 0;
  int64_t samplesWritten_ = 0;  // taken from the output ring
  int pending_ = 0;             // of those, in emitted_ and not yet written
  bool inputEnded_ = false;
  int64_t lastCentreIn_ = 0;  // once the input ended: the centre the hops run up to
  int64_t filledUpTo_ = 0;    // once the input ended: input time from which the ring is not yet filled
  int32_t result_ = kOk;      // of the last read, write or hand-over
};

int32_t PhaseVocoder::prepare() {
  const int n = z_.fftSize;
  const int ns = z_.inverseSize;
  const int no = z_.synthesisLength;
  try {
    inputRing_.assign(z_.inputRingLength, 0.0f);
    outputRing_.assign(z_.outputRingLength, 0.0f);
    analysisWindow_.assign(z_.windowLength, 0.0f);
    synthesisWindow_.assign(z_.windowLength, 0.0f);
    analysis_.assign(n + 2, 0.0f);
    synthesis_.assign(ns + 2, 0.0f);
    const auto perBin = static_cast<std::size_t>(binPhasesLength(std::min(n / 2, no / 2)));
    previousReal_.assign(perBin, 1.0f);
    for (Floats* values : {&previousImaginary_, &turn_, &advanced_, &power_}) values->assign(perBin, 0.0f);
    lastPeak_.assign(perBin, 0);
    runOn_.assign(static_cast<std::size_t>(kFitFrames + 2 * z_.halfWindow + z_.analysisHop), 0.0);
    fitWork_.assign(2 * kFitFrames, 0.0);
    predictor_.assign(kPredictorOrder, 0.0);
    frames_.assign(static_cast<std::size_t>(readFrames_ * channels_), 0);
    emitted_.assign(kEmitBlock, 0);
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
  forward_ = FftPlan::create(n);
  inverse_ = FftPlan::create(ns);
  if (!forward_ || !inverse_) return kOutOfMemory;

  const double analysisScale = buildAnalysisWindow(analysisWindow_.data(), z_.halfWindow, n);
  // The inverse transform at NS points divides by NS where the analysis gave magnitudes for N:
  // NS/N brings a frame back to the input's level whatever NO and NS are.
  buildSynthesisWindow(synthesisWindow_.data(), z_.halfWindow, z_.outputHop,
                       static_cast<double>(ns) / n / analysisScale);
  return kOk;
}

int32_t PhaseVocoder::run(SoundStream* output, SamplePlayer* player) {
  output_ = output;
  player_ = player;
  const int d = z_.analysisHop;
  const int mh = z_.halfWindow;
  // The first window ends within the input's first hop; output time follows input time by T/P.
  centreIn_ = -static_cast<int64_t>(d) * (mh / d);
  centreOut_ = static_cast<int64_t>(outputPerInput_ * static_cast<double>(centreIn_));
  runOnBeforeStart();

  while (!inputEnded_ || centreIn_ < lastCentreIn_) {
    if (input_.stopFlag()) return finish(kOk, true);
    if (const int32_t code = readInput(); code != kOk) return finish(code, false);
    analyse();
    centreIn_ += d;
    synthesise();
    overlapAdd();
    // Samples before the frame's left edge have every contribution they will get; none goes
    // beyond what the input read so far allows.
    const int64_t allowed = std::llround(outputPerInput_ * static_cast<double>(framesRead_)) + 1;
    if (const int32_t code = emitUpTo(std::min(centreOut_ - z_.halfWindow, allowed)); code != kOk) {
      return finish(code, false);
    }
    centreOut_ += z_.outputHop;
  }
  const int64_t total = std::llround(outputPerInput_ * static_cast<double>(framesRead_)) + 1;
  return finish(emitUpTo(total), false);
}

// The windows that reach before the input's start or past its end hear the input run on there
// as its first and last frames predict, so that the first and last hops sound as full as the
// others and neither end adds what the other holds: a replayed loop joins up as its own two ends
// do, a jump where the source jumps and nothing more. Before the first hop: the input's first
// frames are read, and the times before its start filled running them on backward. An input that
// cannot go back to its start leaves them silent.
void PhaseVocoder::runOnBeforeStart() {
  const int64_t firstTime = centreIn_ - z_.halfWindow;
  if (firstTime >= 0) return;
  int count = 0;
  while (count < kFitFrames) {
    const int64_t wanted = std::min<int64_t>(kFitFrames - count, readFrames_);
    int64_t delivered = 0;
    const int32_t code = input_.read(frames_.data(), wanted * channels_, delivered);
    const int frames = static_cast<int>(delivered / channels_);
    // Frame f of the input at runOn_[count - 1 - f]: backward in time is forward in runOn_.
    monoSamples(frames_.data(), channels_, choice_, &fitWork_[0], frames);
    for (int f = 0; f < frames; ++f) runOn_[kFitFrames - 1 - (count + f)] = fitWork_[f];
    count += frames;
    if (code != kOk || frames < wanted) break;
  }
  double* const reversed = &runOn_[kFitFrames - count];
  const int64_t needed = -firstTime;
  if (input_.seekFrame(0) != kOk) count = 0;
  fitPredictor(reversed, count, kPredictorOrder, predictor_.data(), fitWork_.data());
  for (int64_t i = 0; i < needed; ++i) {
    double* const at = reversed + count + i;
    *at = count > 0 ? predictNext(at, 1, predictor_.data(), kPredictorOrder) : 0.0;
    inputRing_[wrap(-1 - i, z_.inputRingLength)] = static_cast<float>(*at);
  }
}

// Once the input has ended: the predictor that runs it on from its last frames, which the ring
// still holds.
void PhaseVocoder::fitEnd() {
  const int64_t ringLength = z_.inputRingLength;
  const int count = static_cast<int>(std::min<int64_t>({kFitFrames, framesRead_, ringLength}));
  for (int i = 0; i < count; ++i) runOn_[i] = inputRing_[wrap(framesRead_ - count + i, ringLength)];
  fitPredictor(runOn_.data(), count, kPredictorOrder, predictor_.data(), fitWork_.data());
}

// When the analysis window reaches beyond the frames read, reads them into the input ring (a ring
// slot holds input time t at t mod its length), and up to readFrames_ more as far as the ring has
// room; once the input has ended, fills those slots running the input on instead. The output
// waiting in emitted_ is written first, so that the file holds all the output the input read so
// far gave.
int32_t PhaseVocoder::readInput() {
  const int64_t windowStart = centreIn_ - z_.halfWindow;
  const int64_t windowEnd = centreIn_ + z_.halfWindow + 1;
  const int64_t ringLength = z_.inputRingLength;
  if (!inputEnded_ && windowEnd > framesRead_) {
    if (const int32_t code = writePending(); code != kOk) return code;
  }
  const int64_t readEnd = std::min(windowEnd - 1 + readFrames_, windowStart + ringLength);
  while (!inputEnded_ && windowEnd > framesRead_) {
    const int64_t wanted = std::min(readEnd - framesRead_, readFrames_);
    int64_t delivered = 0;
    const int32_t code = input_.read(frames_.data(), wanted * channels_, delivered);
    if (code != kOk && code != kEndOfFile) return code;
    result_ = code;
    const int64_t frames = delivered / channels_;
    for (int64_t f = 0; f < frames;) {
      const int64_t slot = wrap(framesRead_ + f, ringLength);
      const int64_t run = std::min(frames - f, ringLength - slot);
      monoSamples(&frames_[f * channels_], channels_, choice_, &inputRing_[slot], run);
      f += run;
    }
    framesRead_ += frames;
    if (frames < wanted) {
      inputEnded_ = true;
      // Hops go on until the window has passed the last sample by a hop.
      lastCentreIn_ = framesRead_ + z_.analysisHop - 1 + z_.halfWindow;
      filledUpTo_ = framesRead_;
      fitEnd();
    }
  }
  if (inputEnded_) {
    double past[kPredictorOrder];
    for (; filledUpTo_ < windowEnd; ++filledUpTo_) {
      for (int i = 0; i < kPredictorOrder; ++i)
        past[i] = inputRing_[wrap(filledUpTo_ - kPredictorOrder + i, ringLength)];
      inputRing_[wrap(filledUpTo_, ringLength)] =
          static_cast<float>(predictNext(past + kPredictorOrder, 1, predictor_.data(), kPredictorOrder));
    }
  }
  return kOk;
}

// Folds the windowed input around the analysis window's centre into N points (input time t goes
// to t mod N, so that phases refer to absolute time) and transforms it.
void PhaseVocoder::analyse() {
  const int n = z_.fftSize;
  const int length = z_.windowLength;
  const int ringLength = z_.inputRingLength;
  float* folded = analysis_.data();
  const int64_t start = centreIn_ - z_.halfWindow;
  int k = static_cast<int>(wrap(start, n));
  int j = static_cast<int>(wrap(start, ringLength));
  // The window's first N samples set the folded points, the rest add to them.
  for (int i = 0; i < length;) {
    const int run = std::min({(i < n ? n : length) - i, length - i, n - k, ringLength - j});
    if (i < n) {
      multiply(folded + k, &analysisWindow_[i], &inputRing_[j], run);
    } else {
      multiplyAdd(folded + k, &analysisWindow_[i], &inputRing_[j], run);
    }
    i += run;
    k += run;
    j += run;
    if (k == n) k = 0;
    if (j == ringLength) j = 0;
  }
  // A window shorter than N leaves the points after its end, up to its start, at zero.
  for (int i = length; i < n; ++i) {
    folded[k] = 0.0f;
    if (++k == n) k = 0;
  }
  forward_->forward(folded);
}

// Gives every bin its magnitude at its accumulated phase and transforms back at NS points.
void PhaseVocoder::synthesise() {
  const int n = z_.fftSize;
  const int ns = z_.inverseSize;
  const int no = z_.synthesisLength;
  const int bins = std::min(n / 2, no / 2);
  float* frame = synthesis_.data();
  // Bins above those synthesised stay silent; the others are all written.
  std::fill(frame + bins + 1, frame + ns - bins + 1, 0.0f);
  // The frame is read at p·t for output time t: its centre there, the analysis window's here.
  const double shift =
      static_cast<double>(centreOut_) * frameStep_ * n / ns - static_cast<double>(centreIn_ - z_.analysisHop);
  trackBinPhases(analysis_.data(), n, bins, phaseScale_, std::fmod(shift, n),
                 {previousReal_.data(), previousImaginary_.data(), turn_.data(), advanced_.data(), power_.data(),
                  lastPeak_.data()},
                 frame, ns);
  inverse_->inverse(frame);
  frame[ns] = frame[0];  // the frame is periodic: its last sample leads back to the first
}

// Adds the windowed frame into the output ring around the frame's centre. Output time t reads the
// frame at t·NS·p/N (mod NS), so that a steady bin continues from frame to frame; times already
// handed on (or before the start) are left alone, so that nothing lands in a slot that is read again.
void PhaseVocoder::overlapAdd() {
  const int ns = z_.inverseSize;
  const int ringLength = z_.outputRingLength;
  const int64_t left = centreOut_ - z_.halfWindow;
  const int64_t first = std::max(left, samplesWritten_);
  const int64_t end = centreOut_ + z_.halfWindow + 1;
  if (first >= end) return;
  int i = static_cast<int>(first - left);
  const int length = static_cast<int>(end - left);
  int j = static_cast<int>(wrap(first, ringLength));
  const float* frame = synthesis_.data();
  while (i < length) {
    const int64_t t = left + i;
    int run = std::min(length - i, ringLength - j);
    // A frame read sample for sample (untransposed, or moved by whole octaves) needs no
    // interpolation: it is added as it is, in runs up to its end.
    if (frameStep_ == 1.0) {
      const int k = static_cast<int>(wrap(t, ns));
      run = std::min(run, ns - k);
      multiplyAdd(&outputRing_[j], frame + k, &synthesisWindow_[i], run);
    } else {
      const double position = std::fmod(static_cast<double>(t) * frameStep_, ns);
      multiplyAddResampled(&outputRing_[j], frame, ns - 1, position, frameStep_, &synthesisWindow_[i], run);
    }
    i += run;
    j += run;
    if (j == ringLength) j = 0;
  }
}

// Hands on output samples up to (not including) output time end, clearing their ring slots: to
// the player at once, to the output whenever emitted_ is full.
int32_t PhaseVocoder::emitUpTo(int64_t end) {
  const int64_t ringLength = z_.outputRingLength;
  while (samplesWritten_ < end) {
    const int slot = static_cast<int>(wrap(samplesWritten_, ringLength));
    const int count =
        static_cast<int>(std::min({end - samplesWritten_, ringLength - slot, int64_t{kEmitBlock - pending_}}));
    int32_t* const samples = emitted_.data() + pending_;
    takeSamples(&outputRing_[slot], samples, count);
    if (player_) {
      for (int q = 0; q < count; ++q) {
        result_ = player_->feed(samples[q]);
        if (result_ != kOk) {
          // What was heard still reaches the file.
          pending_ += q;
          const int32_t code = result_;
          writePending();
          return code;
        }
      }
    }
    pending_ += count;
    samplesWritten_ += count;
    if (pending_ == kEmitBlock) {
      if (const int32_t code = writePending(); code != kOk) return code;
    }
  }
  return kOk;
}

int32_t PhaseVocoder::writePending() {
  const int count = pending_;
  pending_ = 0;
  if (!output_ || count == 0) return kOk;
  result_ = output_->write(emitted_.data(), count);
  return result_;
}

int32_t PhaseVocoder::finish(int32_t code, bool stopped) {
  // A pass that ends in any way leaves in the file all it handed on.
  if (const int32_t written = writePending(); written != kOk && code == kOk) code = written;
  if (player_) {
    if (code == kOk && !stopped) {
      result_ = player_->drain();
      return result_;
    }
    player_->stop();
  }
  return code != kOk ? code : result_;
}

VocoderPass::VocoderPass() = default;
VocoderPass::~VocoderPass() = default;

int32_t VocoderPass::prepare(SoundStream& input, const VocoderSettings& settings) {
  VocoderSizes sizes;
  if (computeVocoderSizes(settings.pitchFactor, settings.timeFactor, settings.fftSize, settings.windowMode, sizes) !=
      kOk) {
    return kBadCall;
  }
  if (input.channels() < 1) return kBadCall;
  try {
    vocoder_ = std::make_unique<PhaseVocoder>(input, sizes, settings.channelChoice);
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
  const int32_t code = vocoder_->prepare();
  if (code != kOk) vocoder_.reset();
  return code;
}

int32_t VocoderPass::run(SoundStream* output, SamplePlayer* player) {
  if (!vocoder_) return kBadCall;
  if (output && output->channels() != 1) return kBadCall;
  if (player) {
    if (const int32_t code = player->open(vocoder_->input()); code != kOk) return code;
  }
  return vocoder_->run(output, player);
}

int32_t runVocoder(SoundStream& input, SoundStream* output, SamplePlayer* player, const VocoderSettings& settings) {
  if (output && output->channels() != 1) return kBadCall;
  VocoderPass pass;
  if (const int32_t code = pass.prepare(input, settings); code != kOk) return code;
  return pass.run(output, player);
}

}  // namespace kv
