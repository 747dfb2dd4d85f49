#include "platform/audio/WaveFileSink.h"

#include "platform/audio/EngineSamples.h"

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <stdexcept>

namespace lentaro::audio {

namespace {

// The file's format until the first frames are heard: CD sound.
constexpr Format untilHeard{2, 44100, 16, Encoding::Pcm};

// 32-bit PCM in the file's channels and rate: what frames of another format are converted to.
Format conversionTarget(const Format& file) { return {file.channels, file.sampleRate, 32, Encoding::Pcm}; }

std::unique_ptr<kv::SoundStream> createWave(const std::string& path, const Format& format, std::string& why) {
  std::unique_ptr<kv::SoundStream> file = kv::SoundStream::openWrite(waveSampleFormat(format), path, kv::kFileTypeWav);
  if (!file) {
    why = "no memory to write " + path;
  } else if (file->lastError() != kv::kOk) {
    why = "cannot write the wave file " + path + ": " + kv::resultText(file->lastError());
    file.reset();
  } else if (const std::int32_t finished = file->finish(); finished != kv::kOk) {
    // Completing the header at once puts it on disk: the file is whole before anything plays.
    why = "cannot write the wave file " + path + ": " + kv::resultText(finished);
    file.reset();
  }
  return file;
}

}  // namespace

WaveFileSink::WaveFileSink(std::string path) : path_(std::move(path)) {
  std::string why;
  file_ = createWave(path_, untilHeard, why);
  if (!file_) throw std::runtime_error(why);
}

WaveFileSink::~WaveFileSink() { close(); }

void WaveFileSink::failed(const std::string& detail) {
  status_ = Status::failure(Error::DeviceFailure, detail);
  file_->close();
  file_.reset();
}

bool WaveFileSink::recreate(const Format& format) {
  file_->close();
  std::string why;
  file_ = createWave(path_, format, why);
  if (!file_) status_ = Status::failure(Error::DeviceFailure, why);
  return file_ != nullptr;
}

void WaveFileSink::decode(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) {
  const std::uint8_t* frames = bytes;
  Format from = format;
  if (format != heardFormat_) {
    if (convertingFrom_ != format) {
      converter_ = std::make_unique<FrameConverter>(format, conversionTarget(heardFormat_));
      convertingFrom_ = format;
    }
    converted_.clear();
    converter_->convert(bytes, byteCount, converted_);
    frames = converted_.data();
    byteCount = converted_.size();
    from = conversionTarget(heardFormat_);
  }
  const kv::SamplePacking& packing = enginePacking(from);
  samples_.resize(byteCount / static_cast<std::size_t>(packing.bytes));
  kv::unpackSamples(packing, frames, samples_.data(), samples_.size());
}

void WaveFileSink::played(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_ || byteCount == 0) return;
  if (!heard_) {
    heard_ = true;
    heardFormat_ = format;
    if (format != untilHeard && !recreate(format)) return;
  }
  decode(format, bytes, byteCount);
  const auto count = static_cast<std::int64_t>(samples_.size());
  if (const std::int32_t written = file_->write(samples_.data(), count); written != kv::kOk)
    return failed("cannot write to " + path_ + ": " + kv::resultText(written));
  if (const std::int32_t finished = file_->finish(); finished != kv::kOk)
    return failed("cannot complete " + path_ + ": " + kv::resultText(finished));
}

Status WaveFileSink::close() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_) {
    const std::int32_t closed = file_->close();
    file_.reset();
    if (closed != kv::kOk && status_.ok())
      status_ = Status::failure(Error::DeviceFailure, "cannot complete " + path_ + ": " + kv::resultText(closed));
  }
  return status_;
}

Status WaveFileSink::status() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return status_;
}

}  // namespace lentaro::audio
