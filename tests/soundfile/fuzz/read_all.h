#pragma once
// What every reader fuzz target does with its input: open it as a sound file, ask the stream
// about itself, then read every sample, seeking back once halfway.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/memory_file.h"

namespace kvfuzz {

inline void openAndReadAll(const uint8_t* data, std::size_t size, int fileType) {
  auto stream = kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(std::vector<uint8_t>(data, data + size)),
                                          fileType);
  if (!stream || stream->lastError() != kv::kOk) return;
  (void)stream->duration();

  std::vector<int32_t> samples(256);  // small: allocated and cleared at every run
  int64_t got = 0;
  bool seeked = false;
  while (stream->read(samples.data(), static_cast<int64_t>(samples.size()), got) == kv::kOk) {
    if (!seeked) {
      seeked = true;
      stream->seekFrame(stream->length() / (2 * stream->channels()));
    }
  }
}

}  // namespace kvfuzz
