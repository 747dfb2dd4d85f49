#pragma once
// Sound files of each type whose header states a given channel count, for the tests of which
// counts are read and which refused.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "soundfile/file_types.h"
#include "tests/soundfile/support/aiff_builder.h"
#include "tests/soundfile/support/au_builder.h"
#include "tests/soundfile/support/riff_builder.h"
#include "tests/soundfile/support/sf_builder.h"

namespace kvtest {

// 16-bit samples that every count of 1, 2 and 4 channels divides into whole frames.
constexpr int kChannelFileSamples = 2048;

// A file of that type (WAV, AIFF, au or sf) at 8000 Hz whose header states that many channels
// (the low 16 bits only where its field is that wide), followed by kChannelFileSamples 16-bit
// samples.
inline Bytes fileStatingChannels(int fileType, uint32_t channels) {
  const std::vector<int16_t> ramp = ramp16(kChannelFileSamples);
  switch (fileType) {
    case kv::kFileTypeWav:
      return riff({chunk("fmt ", fmtBody(1, static_cast<uint16_t>(channels), 8000, 16)), chunk("data", pcm16(ramp))});
    case kv::kFileTypeAiff: {
      const uint32_t frames = channels ? kChannelFileSamples / channels : 0;
      return form({iffChunk("COMM", commBody(static_cast<uint16_t>(channels), frames, 16, rate8000())),
                   iffChunk("SSND", ssndBody(pcm16BE(ramp)))});
    }
    case kv::kFileTypeAu: {
      AuHeader header;
      header.channels = channels;
      return auFile(header, pcm16BE(ramp));
    }
    default: {
      Bytes file = sfHeader(kv::kSfMagic, 8000.0f, channels, 2);
      appendBytes(file, pcm16(ramp));
      return file;
    }
  }
}

inline const char* fileTypeName(int fileType) {
  switch (fileType) {
    case kv::kFileTypeWav:
      return "Wav";
    case kv::kFileTypeAiff:
      return "Aiff";
    case kv::kFileTypeAu:
      return "Au";
    default:
      return "Sf";
  }
}

// A file type and the channel count its header states.
struct StatedChannels {
  int fileType;
  uint32_t channels;
};

inline void PrintTo(const StatedChannels& c, std::ostream* os) { *os << fileTypeName(c.fileType) << c.channels; }

inline std::string statedChannelsName(const ::testing::TestParamInfo<StatedChannels>& info) {
  return fileTypeName(info.param.fileType) + std::to_string(info.param.channels);
}

}  // namespace kvtest
