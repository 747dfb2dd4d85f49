#include "engine/playback_device.h"

#include <climits>

#include "soundfile/result_codes.h"

namespace kv {

namespace audio = lentaro::audio;

namespace {

// The form the device plays a sample format in; false for an encoding no device plays.
bool deviceFormatFor(const SampleFormat& format, audio::Format& played) {
  switch (format.encoding) {
    case kEncodingUnsigned:
    case kEncodingSigned:
    case kUnset:
      played.encoding = audio::Encoding::Pcm;
      break;
    case kEncodingMuLaw:
      played.encoding = audio::Encoding::MuLaw;
      break;
    case kEncodingALaw:
      played.encoding = audio::Encoding::ALaw;
      break;
    default:
      return false;
  }
  played.channels = format.channels;
  played.sampleRate = format.sampleRate >= 1.0f && format.sampleRate < static_cast<float>(INT_MAX)
                          ? static_cast<int>(format.sampleRate)
                          : 0;
  // Sound cards take no 3-byte samples: those play as 16-bit ones.
  played.bitsPerSample = format.bytesPerSample == 3 ? 16 : 8 * format.bytesPerSample;
  return true;
}

// The layout that turns engine samples into what the device plays: 8-bit PCM is unsigned and wider
// PCM signed, little-endian, whatever the stored form of the input was.
const SamplePacking* devicePacking(const audio::Format& played) {
  switch (played.encoding) {
    case audio::Encoding::MuLaw:
      return findSamplePacking(1, kEncodingMuLaw, false);
    case audio::Encoding::ALaw:
      return findSamplePacking(1, kEncodingALaw, false);
    case audio::Encoding::Pcm:
      break;
  }
  const int bytes = played.bytesPerSample();
  return findSamplePacking(bytes, bytes == 1 ? kEncodingUnsigned : kEncodingSigned, false);
}

int32_t queryFailure(audio::Error error) {
  switch (error) {
    case audio::Error::BadFormat:
    case audio::Error::NoDevice:
      return kBadCall;
    case audio::Error::OutOfMemory:
      return kOutOfMemory;
    default:
      return kFailure;
  }
}

// A refused reset or close: a closed device is our own mistake, anything else the hardware's.
int32_t controlFailure(audio::Error error) { return error == audio::Error::NotOpen ? kInternalError : kHardwareError; }

int32_t writeFailure(audio::Error error) { return error == audio::Error::OutOfMemory ? kOutOfMemory : kHardwareError; }

}  // namespace

void* PlaybackDevice::operator new(std::size_t bytes) noexcept { return heapAllocZeroed(1, bytes); }
void PlaybackDevice::operator delete(void* block) noexcept { heapFree(block); }

int32_t PlaybackDevice::open(const SampleFormat& format, const SoundOutput& output,
                             std::unique_ptr<PlaybackDevice>& device) {
  device.reset();
  audio::Format played;
  if (!deviceFormatFor(format, played)) return kBadCall;
  if (const audio::Status query = output.query(played); !query.ok()) return queryFailure(query.error);

  std::unique_ptr<PlaybackDevice> made(new PlaybackDevice);
  if (!made) return kOutOfMemory;
  made->format_ = played;
  made->packing_ = devicePacking(played);
  if (!made->packing_) return kBadCall;
  if (!made->allocate()) return kOutOfMemory;

  audio::OpenResult<audio::OutputDevice> opened = output.open(played);
  if (!opened.device) return kFileError;
  made->device_ = std::move(opened.device);
  device = std::move(made);
  return kOk;
}

bool PlaybackDevice::allocate() {
  for (Buffer& buffer : buffers_) {
    buffer.data.reset(static_cast<uint8_t*>(heapAllocZeroed(kBufferBytes, 1)));
    if (!buffer.data) return false;
  }
  scratchLength_ = kBufferBytes / format_.bytesPerSample();
  scratch_.reset(static_cast<int32_t*>(heapAllocZeroed(static_cast<std::size_t>(scratchLength_), sizeof(int32_t))));
  return scratch_ != nullptr;
}

PlaybackDevice::~PlaybackDevice() { close(); }

bool PlaybackDevice::pending(const Buffer& buffer) const { return !device_->isDone(buffer.ticket); }

int32_t PlaybackDevice::readScratch(int64_t& got) {
  const int32_t result = stream_->read(scratch_.get(), scratchLength_, got);
  return result == kEndOfFile ? kOk : result;
}

int32_t PlaybackDevice::send(Buffer& buffer, int64_t samples) {
  packSamples(*packing_, scratch_.get(), buffer.data.get(), static_cast<std::size_t>(samples));
  const audio::Queued queued =
      device_->write(buffer.data.get(), static_cast<std::size_t>(samples) * static_cast<std::size_t>(packing_->bytes));
  if (queued.error != audio::Error::None) {
    buffer.ticket = 0;
    return writeFailure(queued.error);
  }
  buffer.ticket = queued.ticket;
  return kOk;
}

int32_t PlaybackDevice::start(SoundStream& stream, int64_t& queued) {
  queued = 0;
  stream_ = &stream;
  if (!device_) return kBadCall;
  total_ = stream.length();
  sent_ = 0;
  allQueued_ = false;
  if (const int32_t seek = stream.seekFrame(0); seek != kOk) return seek;
  if (total_ <= 0) {
    allQueued_ = true;
    return kOk;
  }
  if (playing_) return poll(queued);

  buffersInUse_ = 0;
  while (buffersInUse_ < kBufferCount && !allQueued_) {
    int64_t got = 0;
    if (const int32_t read = readScratch(got); read != kOk) return read;
    if (got == 0) {
      allQueued_ = true;
      break;
    }
    if (const int32_t sent = send(buffers_[buffersInUse_], got); sent != kOk) return sent;
    ++buffersInUse_;
    playing_ = true;
    sent_ += got;
    queued += got;
    allQueued_ = sent_ >= total_;
  }
  return kOk;
}

int32_t PlaybackDevice::poll(int64_t& queued) {
  queued = 0;
  if (!device_ || !stream_) return kBadCall;
  if (allQueued_) {
    for (int i = 0; i < buffersInUse_; ++i) {
      if (pending(buffers_[i])) return kOk;
    }
    return kEndOfFile;
  }

  Buffer* free = nullptr;
  for (int i = 0; i < buffersInUse_ && !free; ++i) {
    if (!pending(buffers_[i])) free = &buffers_[i];
  }
  if (!free) return kOk;

  int64_t got = 0;
  if (const int32_t read = readScratch(got); read != kOk) return read;
  if (got == 0) {
    allQueued_ = true;
    return kOk;
  }
  if (const int32_t sent = send(*free, got); sent != kOk) return sent;
  playing_ = true;
  sent_ += got;
  queued = got;
  allQueued_ = sent_ >= total_;
  return kOk;
}

void PlaybackDevice::waitForBuffer(std::chrono::milliseconds timeout) const {
  if (!device_) return;
  audio::Ticket oldest = 0;
  for (int i = 0; i < buffersInUse_; ++i) {
    const Buffer& buffer = buffers_[i];
    if (pending(buffer) && (oldest == 0 || buffer.ticket < oldest)) oldest = buffer.ticket;
  }
  if (oldest != 0) device_->waitUntilDone(oldest, timeout);
}

uint64_t PlaybackDevice::progress() const { return device_ ? device_->buffersDone() + device_->framesPlayed() : 0; }

int32_t PlaybackDevice::reset() {
  if (!device_) return kInternalError;
  if (const audio::Error error = device_->reset(); error != audio::Error::None) return controlFailure(error);
  playing_ = false;
  return kOk;
}

int32_t PlaybackDevice::close() {
  int32_t result = kOk;
  if (device_) {
    if (const audio::Error error = device_->close(); error != audio::Error::None) result = controlFailure(error);
    device_.reset();
  }
  // The device copied every buffer it was given, so nothing refers to them any more.
  for (Buffer& buffer : buffers_) {
    buffer.data.reset();
    buffer.ticket = 0;
  }
  scratch_.reset();
  stream_ = nullptr;
  buffersInUse_ = 0;
  playing_ = false;
  return result;
}

}  // namespace kv
