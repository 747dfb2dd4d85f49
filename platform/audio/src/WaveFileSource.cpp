#include "platform/audio/WaveFileSource.h"

#include "platform/audio/EngineSamples.h"

#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace lentaro::audio {

namespace {

constexpr std::size_t chunkFrames = 4096;

}  // namespace

WaveFileSource::WaveFileSource(const std::string& path) : file_(kv::SoundStream::openRead(path)) {
  if (!file_) throw std::runtime_error("no memory to read " + path);
  if (file_->lastError() != kv::kOk)
    throw std::runtime_error("cannot read the sound file " + path + ": " + kv::resultText(file_->lastError()));
  const float rate = file_->sampleRate();
  fileFormat_ = {file_->channels(), rate >= 1 && rate <= 1e9f ? static_cast<int>(std::lround(rate)) : 0, 32,
                 Encoding::Pcm};
  if (const Status usable = checkOutputFormat(fileFormat_); !usable.ok())
    throw std::runtime_error("cannot feed an input from " + path + ": " + usable.detail);
}

WaveFileSource::~WaveFileSource() = default;

void WaveFileSource::restart(const Format& format) {
  converter_ = std::make_unique<FrameConverter>(fileFormat_, format);
  readingAs_ = format;
  pending_.clear();
  pendingStart_ = 0;
  ended_ = file_->seekFrame(0) != kv::kOk;
}

void WaveFileSource::convertMore() {
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pendingStart_));
  pendingStart_ = 0;
  const auto channels = static_cast<std::size_t>(fileFormat_.channels);
  samples_.resize(chunkFrames * channels);
  std::int64_t got = 0;
  const std::int32_t result = file_->read(samples_.data(), static_cast<std::int64_t>(samples_.size()), got);
  // A damaged file ends where it stops making sense.
  if (result != kv::kOk) ended_ = true;
  const kv::SamplePacking& packing = enginePacking(fileFormat_);
  const std::size_t frames = static_cast<std::size_t>(got) / channels;
  raw_.resize(frames * channels * static_cast<std::size_t>(packing.bytes));
  kv::packSamples(packing, samples_.data(), raw_.data(), frames * channels);
  converter_->convert(raw_.data(), raw_.size(), pending_);
}

std::size_t WaveFileSource::read(const Format& format, std::uint8_t* dest, std::size_t maxBytes) {
  if (readingAs_ != format) restart(format);
  const auto frameBytes = static_cast<std::size_t>(format.bytesPerFrame());
  const std::size_t wanted = maxBytes / frameBytes * frameBytes;
  while (pending_.size() - pendingStart_ < wanted && !ended_) convertMore();
  const std::size_t count = std::min(wanted, (pending_.size() - pendingStart_) / frameBytes * frameBytes);
  if (count > 0) std::memcpy(dest, pending_.data() + pendingStart_, count);
  pendingStart_ += count;
  return count;
}

}  // namespace lentaro::audio
