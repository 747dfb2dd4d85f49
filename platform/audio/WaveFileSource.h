#pragma once

#include "platform/audio/FrameConverter.h"
#include "platform/audio/FrameSource.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kv {
class SoundStream;
}

namespace lentaro::audio {

// Feeds a null input from a sound file (a wave file, or any other type the engine reads),
// converted to the format of the input that reads it. Read by one input at a time; a read in
// another format than the one before starts again from the beginning of the file.
class WaveFileSource final : public FrameSource {
 public:
  // Opens the file. Throws std::runtime_error, saying why, when it cannot be read or its sound
  // is not one or two channels at 1,000 to 192,000 frames a second.
  explicit WaveFileSource(const std::string& path);
  ~WaveFileSource() override;

  std::size_t read(const Format& format, std::uint8_t* dest, std::size_t maxBytes) override;

 private:
  void restart(const Format& format);
  void convertMore();

  std::unique_ptr<kv::SoundStream> file_;
  Format fileFormat_;  // the file's channels and rate, as the 32-bit samples the engine reads
  std::optional<Format> readingAs_;
  std::unique_ptr<FrameConverter> converter_;
  std::vector<std::int32_t> samples_;
  std::vector<std::uint8_t> raw_;
  std::vector<std::uint8_t> pending_;  // converted, not yet read
  std::size_t pendingStart_ = 0;
  bool ended_ = false;
};

}  // namespace lentaro::audio
