#pragma once
// The sound device a real-time pass plays on. It owns a ring of sixteen fixed-size buffers: the
// samples of a block stream are converted into free buffers in the device's own form and queued,
// and the owner polls to refill buffers as the device plays them. Nothing calls back.
//
//   std::unique_ptr<kv::PlaybackDevice> device;
//   if (kv::PlaybackDevice::open(format, kv::SoundOutput::configured(), device) != kv::kOk) ...;
//   device->start(block, queued);                 // queues what fits now
//   while (!device->allQueued()) { device->waitForBuffer(10ms); device->poll(queued); }
//   while (device->poll(queued) == kv::kOk) device->waitForBuffer(10ms);   // kEndOfFile: all played
//   device->close();

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/sound_output.h"
#include "soundfile/heap.h"
#include "soundfile/sample_format.h"
#include "soundfile/sample_packing.h"
#include "soundfile/sound_stream.h"

namespace kv {

class PlaybackDevice {
 public:
  static constexpr int kBufferCount = 16;
  static constexpr int kBufferBytes = 0x3000;

  // Opens an output for samples of that format. Unsigned, signed and unset encodings play as
  // linear PCM, mu-law and A-law as themselves; 3-byte samples play as 16-bit ones. Results:
  // kOk; kBadCall for another encoding, a format the output cannot play, or no sound device;
  // kOutOfMemory; kFailure when the output refuses the format for another reason; kFileError
  // when the device cannot be opened.
  static int32_t open(const SampleFormat& format, const SoundOutput& output, std::unique_ptr<PlaybackDevice>& device);

  PlaybackDevice(const PlaybackDevice&) = delete;
  PlaybackDevice& operator=(const PlaybackDevice&) = delete;
  ~PlaybackDevice();  // closes

  // Plays a block stream from its start and tells how many of its samples were queued. The first
  // start after opening or a reset fills as many buffers as the stream needs (up to sixteen), and
  // that many then circulate; a later start refills one free buffer, as poll does. The device
  // reads the stream until another start names another one: keep it alive till then.
  int32_t start(SoundStream& stream, int64_t& queued);
  // Refills the first free buffer from the current stream. kOk (queued is 0 when no buffer was
  // free or the stream is used up), kEndOfFile once the whole stream has been queued and played,
  // or the code of a failure.
  int32_t poll(int64_t& queued);
  // Every sample of the current stream has been queued.
  bool allQueued() const { return allQueued_; }
  // Waits at most `timeout` for the oldest queued buffer to be played; returns at once when no
  // buffer is queued.
  void waitForBuffer(std::chrono::milliseconds timeout) const;
  // Grows while the device plays; a device whose count stands still is stuck.
  uint64_t progress() const;

  // Cuts the sound at once; the device stays open. kInternalError when it has been closed,
  // kHardwareError when it refuses.
  int32_t reset();
  // Stops play and releases the device and the buffers; start and poll then fail with kBadCall.
  // kHardwareError when the device refuses.
  int32_t close();

  // Devices live on the engine heap; a failed allocation gives null rather than an exception.
  static void* operator new(std::size_t bytes) noexcept;
  static void operator delete(void* block) noexcept;

 private:
  struct Buffer {
    std::unique_ptr<uint8_t, HeapRelease> data;
    lentaro::audio::Ticket ticket = 0;  // of its latest write; 0 (always done) when never written
  };

  PlaybackDevice() = default;
  bool allocate();
  bool pending(const Buffer& buffer) const;
  int32_t readScratch(int64_t& got);
  int32_t send(Buffer& buffer, int64_t samples);

  lentaro::audio::Format format_;
  const SamplePacking* packing_ = nullptr;  // engine samples to the device's form
  std::unique_ptr<lentaro::audio::OutputDevice> device_;

  Buffer buffers_[kBufferCount];
  int buffersInUse_ = 0;
  std::unique_ptr<int32_t, HeapRelease> scratch_;  // one buffer's worth of engine samples
  int64_t scratchLength_ = 0;

  SoundStream* stream_ = nullptr;
  int64_t total_ = 0;  // samples of the current stream
  int64_t sent_ = 0;   // of those, queued so far
  bool allQueued_ = false;
  bool playing_ = false;
};

}  // namespace kv
