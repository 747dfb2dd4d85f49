#pragma once
// Sound streams: a sound file being read, a sound file being written, or samples in memory.
// Whatever the stored form, reading yields 32-bit signed full-scale samples and writing takes them.
//
// A stream records trouble in lastError() rather than failing its creation: check it after
// opening. The factories return null only when memory runs out.
//
// Writing a WAV file:
//   auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(44100, 2, kv::kEncodingSigned, 2),
//                                         "take.wav", kv::kFileTypeWav);
//   if (!out || out->lastError() != kv::kOk) ...;
//   out->write(samples, count);   // interleaved frames; kOk or the reason nothing more was taken
//   out->close();                 // completes the header; the file is valid even after a failed write
//
// Reading one (any supported type, found from the contents):
//   auto in = kv::SoundStream::openRead("take.wav");
//   if (!in || in->lastError() != kv::kOk) ...;
//   int64_t got = 0;
//   int32_t result;
//   do {
//     result = in->read(buffer, bufferSamples, got);   // kEndOfFile once fewer than asked came
//     ... use got samples ...
//   } while (result == kv::kOk);

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "soundfile/byte_file.h"
#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sample_format.h"
#include "soundfile/stream_state.h"

namespace kv {

class SoundStream {
 public:
  // Samples in memory, frames × channels of them. With a buffer (frames × channels samples in the
  // stored form, owned by the caller) the stream reads it and cannot grow; without one it starts
  // with its own zeroed buffer (room for 1024 samples when frames is 0) that grows as it is written.
  // Null for negative frames.
  static std::unique_ptr<SoundStream> createMemory(const SampleFormat& format, void* buffer, int64_t frames);

  // Opens a sound file. With kFileTypeDetect its type is found from its contents; a given type
  // skips detection (the only way to read an IRCAM sf file). kFileError when the path cannot be
  // opened or names no regular file (a folder, FIFO, device or socket, refused without waiting).
  static std::unique_ptr<SoundStream> openRead(const std::string& path, int fileType = kFileTypeDetect);
  static std::unique_ptr<SoundStream> openRead(std::unique_ptr<ByteFile> file, int fileType = kFileTypeDetect);

  // Creates (or replaces) a sound file of that type and writes its header. An unsupported type or
  // format is refused before the file is touched, and so is a path naming anything but a regular
  // file (kFileError).
  static std::unique_ptr<SoundStream> openWrite(const SampleFormat& format, const std::string& path, int fileType);
  static std::unique_ptr<SoundStream> openWrite(const SampleFormat& format, std::unique_ptr<ByteFile> file,
                                                int fileType);

  SoundStream(const SoundStream&) = delete;
  SoundStream& operator=(const SoundStream&) = delete;
  ~SoundStream();  // closes

  // Completes a write stream's header and releases the file: kOk, or kFileError when the file
  // could not be finished. Later calls do nothing.
  int32_t close();
  // Completes a write stream's header with what has been written so far; writing may go on.
  int32_t finish();

  // Up to count samples (interleaved frames): kOk when all came, kEndOfFile when fewer did,
  // another code on failure (kBadCall for a stream that cannot be read).
  int32_t read(int32_t* samples, int64_t count, int64_t& delivered);
  // The first of every step samples from here on, up to count of them (count × step samples passed
  // over, fewer at the end): kOk when all came, kEndOfFile when fewer did, as read. Samples stored
  // plainly are converted only where kept, so that a picture of a long file reads quickly.
  // kBadCall for a step below 1, or a count × step past the largest sample count.
  int32_t readEvery(int32_t* samples, int64_t count, int64_t step, int64_t& delivered);
  // kOk when all count samples were taken; otherwise the code of what stopped it.
  int32_t write(const int32_t* samples, int64_t count);

  // To a frame from the start of the data; kFailure beyond the end.
  int32_t seekFrame(int64_t frame);
  int32_t seekSeconds(double seconds);

  const SampleFormat& format() const { return state_.format; }
  float sampleRate() const { return state_.format.sampleRate; }
  int bytesPerSample() const { return state_.format.bytesPerSample; }
  int channels() const { return state_.format.channels; }
  int encoding() const { return state_.format.encoding; }
  int64_t length() const { return state_.length; }  // samples, all channels counted
  // The samples a read stream's header gives, whole frames counted: more than length() when the
  // file is cut short. -1 when the header gives none (an unfinished one) or its type does not say.
  int64_t statedLength() const { return state_.statedLength; }
  double duration() const;  // seconds
  int32_t lastError() const { return state_.lastError; }
  // Why the file was refused, when the handler says more than lastError() does (a sample size
  // the format does not have, say), as a clause for a message: "it holds 7-bit samples, ...".
  const std::string& problem() const { return state_.problem; }
  int typeFound() const { return state_.typeFound; }
  const std::string& handlerName() const { return state_.handlerName; }
  // The stored samples of a memory stream (null for file streams).
  void* buffer() const { return state_.buffer; }

  // A running pass polls the stop flag; any thread may set it.
  void setStopFlag(int32_t value) { state_.stopFlag.store(value, std::memory_order_release); }
  int32_t stopFlag() const { return state_.stopFlag.load(std::memory_order_acquire); }

  // Streams live on the engine heap; a failed allocation gives null rather than an exception.
  static void* operator new(std::size_t bytes) noexcept;
  static void operator delete(void* block) noexcept;

 private:
  SoundStream() = default;
  static std::unique_ptr<SoundStream> make(StreamKind kind);
  void startReading(std::unique_ptr<ByteFile> file, int fileType);
  bool beginWriting(const SampleFormat& format, int fileType);
  void startWriting(std::unique_ptr<ByteFile> file);
  // readEvery for the streams whose samples are converted as they are read (memory, compressed).
  int32_t readEveryConverted(int32_t* samples, int64_t count, int64_t step, int64_t& delivered);

  friend int32_t convertBlock(SoundStream& stream, const int32_t* samples, void* destination, int64_t count,
                              bool playedAs16Bit);

  StreamState state_;
};

}  // namespace kv
