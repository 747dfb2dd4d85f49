#include "engine/playback_feeder.h"

#include "engine/playback_device.h"
#include "engine/sound_output.h"
#include "soundfile/heap.h"
#include "soundfile/result_codes.h"
#include "soundfile/sample_conversion.h"

namespace kv {

namespace {

// The first block fills four device buffers at once so the device never runs dry; later blocks
// fill one buffer each to keep latency low.
constexpr int64_t kFirstBlockBytes = 0xC000;
constexpr int64_t kBlockBytes = 0x3000;
constexpr int64_t kBlockCapacity = 0xC000;  // samples: the first block of 8-bit input

constexpr std::chrono::milliseconds kPollInterval{10};

// Notices a device that has stopped playing.
class StallWatch {
 public:
  StallWatch(const PlaybackDevice& device, std::chrono::milliseconds limit)
      : device_(device), limit_(limit), seen_(device.progress()), since_(std::chrono::steady_clock::now()) {}

  bool stalled() {
    const uint64_t progress = device_.progress();
    const auto now = std::chrono::steady_clock::now();
    if (progress != seen_) {
      seen_ = progress;
      since_ = now;
      return false;
    }
    return now - since_ >= limit_;
  }

 private:
  const PlaybackDevice& device_;
  const std::chrono::milliseconds limit_;
  uint64_t seen_;
  std::chrono::steady_clock::time_point since_;
};

// Blocks keep the sample size of the sound the device was opened for, so the sound is stored no
// coarser than it came; wider samples, linear PCM once the device took them, are kept signed.
SampleFormat blockFormatFor(const SampleFormat& played) {
  SampleFormat format = played;
  if (format.bytesPerSample > 1) format.encoding = kEncodingSigned;
  return format;
}

}  // namespace

struct PlaybackFeeder::State {
  SoundOutput output;
  std::chrono::milliseconds stallLimit;

  const SoundStream* input = nullptr;
  std::unique_ptr<PlaybackDevice> device;
  SampleFormat blockFormat;
  int64_t firstHandOver = 0;  // samples
  int64_t laterHandOver = 0;
  bool firstBlock = true;

  std::unique_ptr<int32_t, HeapRelease> block;
  int64_t count = 0;
  std::unique_ptr<SoundStream> current;  // the block stream the device reads

  int32_t afterEnd = kBadCall;  // what feed and drain return once the device is gone
  int32_t cutResult = kOk;      // how the device took a stop seen while waiting

  State(SoundOutput soundOutput, std::chrono::milliseconds limit) : output(std::move(soundOutput)), stallLimit(limit) {}

  bool stopRequested() const { return input && input->stopFlag() != 0; }

  // Cuts the sound, releases the device and the blocks; the first refusal, or kOk.
  int32_t shut() {
    int32_t result = kOk;
    if (device) {
      result = device->reset();
      const int32_t closed = device->close();
      if (result == kOk) result = closed;
      device.reset();
    }
    current.reset();
    count = 0;
    return result;
  }

  // A stop: the pass goes on to its end without playing anything more.
  int32_t cut() {
    cutResult = shut();
    afterEnd = kOk;
    return kOk;
  }

  int32_t fail(int32_t code) {
    shut();
    afterEnd = code;
    return code;
  }

  // Polls until `left` samples of the current block have been queued, or with left < 0 until
  // the device has played everything. kOk, or the result of cut or fail.
  int32_t await(int64_t left) {
    StallWatch watch(*device, stallLimit);
    for (;;) {
      int64_t queued = 0;
      const int32_t result = device->poll(queued);
      left -= queued;
      if (result == kEndOfFile || (left >= 0 && (left == 0 || device->allQueued()))) return kOk;
      if (result != kOk) return fail(result);
      if (stopRequested()) return cut();
      if (watch.stalled()) return fail(kHardwareError);
      device->waitForBuffer(kPollInterval);
    }
  }

  // Hands the gathered samples to the device and waits until they are all queued.
  int32_t handOver() {
    if (stopRequested()) return cut();
    const int64_t samples = count;
    count = 0;
    std::unique_ptr<SoundStream> stream = SoundStream::createMemory(blockFormat, nullptr, samples);
    if (!stream) return fail(kOutOfMemory);
    if (stream->lastError() != kOk) return fail(stream->lastError());
    if (const int32_t converted = convertBlock(*stream, block.get(), stream->buffer(), samples, false);
        converted != kOk) {
      return fail(converted);
    }
    int64_t queued = 0;
    const int32_t started = device->start(*stream, queued);
    // The device now reads the new block only.
    current = std::move(stream);
    firstBlock = false;
    if (started != kOk) return fail(started);
    if (queued == samples || device->allQueued()) return kOk;
    return await(samples - queued);
  }
};

PlaybackFeeder::PlaybackFeeder() : PlaybackFeeder(SoundOutput::configured()) {}

PlaybackFeeder::PlaybackFeeder(const SoundOutput& output, std::chrono::milliseconds stallLimit)
    : state_(std::make_unique<State>(output, stallLimit)) {}

PlaybackFeeder::~PlaybackFeeder() { state_->shut(); }

int32_t PlaybackFeeder::open(const SoundStream& input) {
  State& s = *state_;
  s.shut();
  s.input = &input;
  s.firstBlock = true;
  s.cutResult = kOk;
  if (!s.block) {
    s.block.reset(static_cast<int32_t*>(heapAlloc(kBlockCapacity * sizeof(int32_t))));
    if (!s.block) return s.afterEnd = kOutOfMemory;
  }
  SampleFormat mono = input.format();
  mono.channels = 1;
  if (const int32_t opened = PlaybackDevice::open(mono, s.output, s.device); opened != kOk) {
    return s.afterEnd = opened;
  }
  s.blockFormat = blockFormatFor(mono);
  // A device that opened takes 1 to 4 bytes per sample, and every hand-over size divides by those.
  const int bytes = s.blockFormat.bytesPerSample;
  s.firstHandOver = kFirstBlockBytes / bytes;
  s.laterHandOver = kBlockBytes / bytes;
  return kOk;
}

int32_t PlaybackFeeder::feed(int32_t sample) {
  State& s = *state_;
  if (!s.device) return s.afterEnd;
  s.block.get()[s.count++] = sample;
  if (s.count < (s.firstBlock ? s.firstHandOver : s.laterHandOver)) return kOk;
  return s.handOver();
}

int32_t PlaybackFeeder::drain() {
  State& s = *state_;
  if (!s.device) return s.afterEnd;
  if (s.count > 0) {
    if (const int32_t handed = s.handOver(); handed != kOk || !s.device) return handed;
  }
  if (s.current) {
    if (s.stopRequested()) return s.cut();
    if (const int32_t awaited = s.await(-1); awaited != kOk || !s.device) return awaited;
  }
  const int32_t closed = s.shut();
  s.afterEnd = kBadCall;
  return closed != kOk ? closed : kEndOfFile;
}

int32_t PlaybackFeeder::stop() {
  State& s = *state_;
  if (s.device) {
    s.cutResult = s.shut();
    s.afterEnd = kOk;
  }
  const int32_t result = s.cutResult;
  s.cutResult = kOk;
  return result;
}

}  // namespace kv
