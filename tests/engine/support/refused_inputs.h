#pragma once
// Sound files that look like sound but that the readers refuse, for the tests that the engine's
// entry points refuse them before any output is made or replaced.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "soundfile/file_types.h"
#include "tests/soundfile/support/aiff_builder.h"
#include "tests/soundfile/support/channel_files.h"
#include "tests/soundfile/support/riff_builder.h"

namespace kvtest {

struct RefusedInput {
  std::string name;
  Bytes bytes;
};

inline void PrintTo(const RefusedInput& input, std::ostream* os) { *os << input.name; }

// Channel counts the engine has no use for, sample formats no reader decodes, and an AIFC file
// whose compression is not what its type says.
inline std::vector<RefusedInput> refusedInputs() {
  std::vector<RefusedInput> inputs;
  for (int fileType : {kv::kFileTypeWav, kv::kFileTypeAiff, kv::kFileTypeAu}) {
    for (uint32_t channels : {0u, 3u, 65535u}) {
      inputs.push_back({std::string(fileTypeName(fileType)) + std::to_string(channels) + "Channels",
                        fileStatingChannels(fileType, channels)});
    }
  }
  // Beyond what any other header can state.
  inputs.push_back({"Au2147483647Channels", fileStatingChannels(kv::kFileTypeAu, 0x7FFFFFFF)});

  const Bytes data = chunk("data", pcm16(ramp16(kChannelFileSamples)));
  inputs.push_back({"WavExtensibleFloat", riff({chunk("fmt ", extensibleFmtBody(tagGuid(3), 1, 8000, 32, 32)), data})});
  inputs.push_back({"WavExtensibleOfAnotherFamily",
                    riff({chunk("fmt ", extensibleFmtBody(bFormatPcmGuid(), 1, 8000, 16, 16)), data})});
  inputs.push_back(
      {"AifcNamedOtherwise",
       form({iffChunk("COMM", aifcCommBody(1, kChannelFileSamples, 16, rate8000(), "NONE", "uncompressed")),
             iffChunk("SSND", ssndBody(pcm16BE(ramp16(kChannelFileSamples))))},
            "AIFC")});
  return inputs;
}

inline std::string refusedInputName(const ::testing::TestParamInfo<RefusedInput>& info) { return info.param.name; }

}  // namespace kvtest
