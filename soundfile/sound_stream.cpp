#include "soundfile/sound_stream.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "soundfile/disk_file.h"
#include "soundfile/file_samples.h"
#include "soundfile/format_handler.h"
#include "soundfile/heap.h"

namespace kv {

void* SoundStream::operator new(std::size_t bytes) noexcept { return heapAllocZeroed(1, bytes); }
void SoundStream::operator delete(void* block) noexcept { heapFree(block); }

std::unique_ptr<SoundStream> SoundStream::make(StreamKind kind) {
  std::unique_ptr<SoundStream> stream(new SoundStream);
  if (stream) stream->state_.kind = kind;
  return stream;
}

SoundStream::~SoundStream() { close(); }

std::unique_ptr<SoundStream> SoundStream::createMemory(const SampleFormat& format, void* buffer, int64_t frames) {
  if (frames < 0) return nullptr;
  std::unique_ptr<SoundStream> stream = make(kStreamMemory);
  if (!stream) return nullptr;
  StreamState& s = stream->state_;
  s.format = format;
  s.typeFound = kFileTypeMemory;
  s.handler = findHandler("mem");
  s.handlerName = "mem";

  const int sampleBytes = storedSampleBytes(format.bytesPerSample);
  if (format.channels < 1 || sampleBytes == 0 || frames > INT64_MAX / format.channels / sampleBytes) {
    s.lastError = kBadCall;
    return stream;
  }
  const int64_t samples = frames * format.channels;
  if (buffer) {
    s.buffer = static_cast<uint8_t*>(buffer);
    s.capacity = samples;
  } else {
    s.capacity = samples > 0 ? samples : 1024;
    try {
      s.ownedBuffer.resize(static_cast<std::size_t>(s.capacity * sampleBytes));
    } catch (const std::bad_alloc&) {
      s.capacity = 0;
      s.lastError = kOutOfMemory;
      return stream;
    }
    s.buffer = s.ownedBuffer.data();
  }
  s.length = samples;
  s.opened = true;
  return stream;
}

std::unique_ptr<SoundStream> SoundStream::openRead(const std::string& path, int fileType) {
  std::unique_ptr<SoundStream> stream = make(kStreamReading);
  if (!stream) return nullptr;
  std::unique_ptr<DiskFile> file = DiskFile::openForReading(path);
  if (!file) {
    stream->state_.lastError = kFileError;
    return stream;
  }
  stream->startReading(std::move(file), fileType);
  return stream;
}

std::unique_ptr<SoundStream> SoundStream::openRead(std::unique_ptr<ByteFile> file, int fileType) {
  std::unique_ptr<SoundStream> stream = make(kStreamReading);
  if (!stream) return nullptr;
  if (!file) {
    stream->state_.lastError = kBadCall;
    return stream;
  }
  stream->startReading(std::move(file), fileType);
  return stream;
}

void SoundStream::startReading(std::unique_ptr<ByteFile> file, int fileType) {
  StreamState& s = state_;
  s.file = std::move(file);
  s.format = SampleFormat{};

  const char* name = readHandlerName(fileType);
  if (!name) {
    s.lastError = kInternalError;
    return;
  }
  const FormatHandler* handler = findHandler(name);
  if (!handler || fileType == kFileTypeMemory) {  // memory is no file format
    s.lastError = kUnsupportedFormat;
    return;
  }
  s.handler = handler;
  s.handlerName = name;
  s.lastError = handler->startRead ? handler->startRead(s) : kOk;
  if (s.lastError == kOk) {
    s.dataOffset = s.file->tell();
    s.opened = true;
  }
}

std::unique_ptr<SoundStream> SoundStream::openWrite(const SampleFormat& format, const std::string& path, int fileType) {
  std::unique_ptr<SoundStream> stream = make(kStreamWriting);
  if (!stream) return nullptr;
  if (!stream->beginWriting(format, fileType)) return stream;
  std::unique_ptr<DiskFile> file = DiskFile::openForWriting(path);
  if (!file) {
    stream->state_.lastError = kFileError;
    return stream;
  }
  stream->startWriting(std::move(file));
  if (stream->state_.lastError != kOk) std::remove(path.c_str());  // no header, no file
  return stream;
}

std::unique_ptr<SoundStream> SoundStream::openWrite(const SampleFormat& format, std::unique_ptr<ByteFile> file,
                                                    int fileType) {
  std::unique_ptr<SoundStream> stream = make(kStreamWriting);
  if (!stream) return nullptr;
  if (!file) {
    stream->state_.lastError = kBadCall;
    return stream;
  }
  if (stream->beginWriting(format, fileType)) stream->startWriting(std::move(file));
  return stream;
}

bool SoundStream::beginWriting(const SampleFormat& format, int fileType) {
  StreamState& s = state_;
  s.format = format;
  const char* name = writeHandlerName(fileType);
  const FormatHandler* handler = name ? findHandler(name) : nullptr;
  if (!handler || fileType == kFileTypeMemory) {  // memory is no file format
    s.lastError = kUnsupportedFormat;
    return false;
  }
  s.handler = handler;
  s.handlerName = name;
  s.typeFound = fileType;
  s.lastError = handler->prepareWrite ? handler->prepareWrite(s.format) : kOk;
  return s.lastError == kOk;
}

void SoundStream::startWriting(std::unique_ptr<ByteFile> file) {
  StreamState& s = state_;
  s.file = std::move(file);
  s.lastError = s.handler->startWrite ? s.handler->startWrite(s) : kOk;
  if (s.lastError != kOk) {
    s.file->close();
    s.file.reset();
    return;
  }
  s.dataOffset = s.file->tell();
  s.opened = true;
}

int32_t SoundStream::finish() {
  StreamState& s = state_;
  if (s.kind != kStreamWriting || !s.opened) return kBadCall;
  int32_t result = s.handler->stopWrite ? s.handler->stopWrite(s) : kOk;
  // Further samples go on where the last one ended.
  if (result == kOk && !s.file->seek(s.dataOffset + s.position * storedSampleBytes(s.format.bytesPerSample))) {
    result = kFileError;
  }
  if (result != kOk) s.lastError = result;
  return result;
}

int32_t SoundStream::close() {
  StreamState& s = state_;
  int32_t result = kOk;
  if (s.kind == kStreamWriting && s.opened) result = finish();
  s.opened = false;
  if (s.file) {
    if (!s.file->close() && result == kOk) result = kFileError;
    s.file.reset();
  }
  s.ownedBuffer = {};
  s.buffer = nullptr;
  s.capacity = 0;
  return result;
}

int32_t SoundStream::read(int32_t* samples, int64_t count, int64_t& delivered) {
  StreamState& s = state_;
  delivered = 0;
  if (!samples || count < 0 || (s.kind != kStreamMemory && s.kind != kStreamReading)) return kBadCall;
  if (count == 0) return kOk;
  if (!s.opened) return s.lastError != kOk ? s.lastError : kBadCall;
  if (!s.handler->read) return kEndOfFile;
  const int32_t result = s.handler->read(s, samples, count, delivered);
  if (result != kOk) {
    s.lastError = result;
    return result;
  }
  return delivered < count ? kEndOfFile : kOk;
}

int32_t SoundStream::readEvery(int32_t* samples, int64_t count, int64_t step, int64_t& delivered) {
  StreamState& s = state_;
  delivered = 0;
  if (step < 1 || count > INT64_MAX / step) return kBadCall;
  if (step == 1 || s.kind != kStreamReading || !s.opened || s.handler->read != readFileSamples)
    return readEveryConverted(samples, count, step, delivered);
  if (!samples || count < 0) return kBadCall;
  if (count == 0) return kOk;
  const int32_t result = readEveryFileSample(s, samples, count, step, delivered);
  if (result != kOk) {
    s.lastError = result;
    return result;
  }
  return delivered < count ? kEndOfFile : kOk;
}

int32_t SoundStream::readEveryConverted(int32_t* samples, int64_t count, int64_t step, int64_t& delivered) {
  delivered = 0;
  if (step == 1) return read(samples, count, delivered);
  if (!samples || count < 0) return kBadCall;
  int32_t block[4096];
  int64_t passed = 0;
  int32_t result = kOk;
  while (result == kOk && delivered < count) {
    int64_t got = 0;
    result = read(block, std::min<int64_t>(sizeof block / sizeof *block, count * step - passed), got);
    for (int64_t i = (passed + step - 1) / step * step; i < passed + got; i += step)
      samples[delivered++] = block[i - passed];
    passed += got;
  }
  if (result == kEndOfFile || result == kOk) return delivered < count ? kEndOfFile : kOk;
  return result;
}

int32_t SoundStream::write(const int32_t* samples, int64_t count) {
  StreamState& s = state_;
  if (!samples || count < 0 || (s.kind != kStreamMemory && s.kind != kStreamWriting)) return kBadCall;
  if (count == 0) return kOk;
  if (!s.opened) return s.lastError != kOk ? s.lastError : kBadCall;
  if (!s.handler->write) return kBadCall;
  const int32_t result = s.handler->write(s, samples, count);
  if (result != kOk) s.lastError = result;
  return result;
}

int32_t SoundStream::seekFrame(int64_t frame) {
  StreamState& s = state_;
  if (!s.opened) return kBadCall;
  if (frame < 0 || frame > s.length / s.format.channels) {
    s.lastError = kFailure;
    return kFailure;
  }
  const int64_t position = frame * s.format.channels;
  if (s.kind != kStreamMemory) {
    const bool moved = s.handler->seek
                           ? s.handler->seek(s, position) == kOk
                           : s.file->seek(s.dataOffset + position * storedSampleBytes(s.format.bytesPerSample));
    if (!moved) {
      s.lastError = kFailure;
      return kFailure;
    }
  }
  s.position = position;
  return kOk;
}

int32_t SoundStream::seekSeconds(double seconds) {
  const double frame = seconds * state_.format.sampleRate;
  if (!(frame >= 0.0 && frame < 9.0e18)) {
    if (state_.opened) state_.lastError = kFailure;
    return state_.opened ? kFailure : kBadCall;
  }
  return seekFrame(static_cast<int64_t>(frame));
}

double SoundStream::duration() const {
  const StreamState& s = state_;
  if (s.format.channels < 1 || !(s.format.sampleRate > 0.0f)) return 0.0;
  return static_cast<double>(s.length) / s.format.channels / s.format.sampleRate;
}

}  // namespace kv
