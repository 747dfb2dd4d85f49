#pragma once

#include "platform/audio/Error.h"
#include "platform/audio/FrameConverter.h"
#include "platform/audio/FrameSink.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kv {
class SoundStream;
}

namespace lentaro::audio {

// Writes what a null output plays into a wave file, so that a whole-program test can listen to
// it afterwards. The file takes the format of the first frames heard (32-bit PCM is kept as
// 24-bit, the widest a wave file holds here, and mu-law and A-law sound decoded as 16-bit PCM);
// frames of another format are converted to it. Its
// header matches its data after every piece, so the file is whole even if the program never
// closes it.
class WaveFileSink final : public FrameSink {
 public:
  // Creates (or replaces) the file at once, as an empty wave file until something plays.
  // Throws std::runtime_error, saying why, when it cannot be created.
  explicit WaveFileSink(std::string path);
  ~WaveFileSink() override;

  void played(const Format& format, const std::uint8_t* bytes, std::size_t byteCount) override;

  // Completes the file; what plays afterwards is not written.
  Status close();
  // Why frames stopped being written (the file keeps what came before); ok while all went in.
  Status status() const;

 private:
  bool recreate(const Format& format);
  void decode(const Format& format, const std::uint8_t* bytes, std::size_t byteCount);
  void failed(const std::string& detail);

  const std::string path_;
  mutable std::mutex mutex_;
  std::unique_ptr<kv::SoundStream> file_;
  bool heard_ = false;
  Format heardFormat_;  // of the first frames, which the file keeps
  std::optional<Format> convertingFrom_;
  std::unique_ptr<FrameConverter> converter_;
  std::vector<std::uint8_t> converted_;
  std::vector<std::int32_t> samples_;
  Status status_;
};

}  // namespace lentaro::audio
