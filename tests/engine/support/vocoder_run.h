#pragma once
// Runs the vocoder over samples held in memory and collects its output, at full 32-bit precision.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "engine/vocoder.h"
#include "engine/vocoder_sizes.h"
#include "soundfile/sound_stream.h"

namespace kvtest {

constexpr double kTestRate = 44100.0;

// An input of interleaved 32-bit samples in memory and a growing mono output, both stored whole
// so that nothing is lost to quantisation.
struct MemoryStreams {
  MemoryStreams(std::vector<int32_t> frames, int channels) : stored(std::move(frames)) {
    const float rate = static_cast<float>(kTestRate);
    input = kv::SoundStream::createMemory(kv::SampleFormat::make(rate, 4, kv::kEncodingSigned, channels), stored.data(),
                                          static_cast<int64_t>(stored.size() / channels));
    output = kv::SoundStream::createMemory(kv::SampleFormat::make(rate, 4, kv::kEncodingSigned, 1), nullptr, 0);
  }

  std::vector<int32_t> written() const {
    std::vector<int32_t> samples(static_cast<std::size_t>(output->length()));
    if (!samples.empty()) std::memcpy(samples.data(), output->buffer(), samples.size() * sizeof(int32_t));
    return samples;
  }

  std::vector<int32_t> stored;
  std::unique_ptr<kv::SoundStream> input, output;
};

struct VocoderRun {
  int32_t result = 0;
  std::vector<int32_t> output;
};

inline VocoderRun runVocoderOn(const std::vector<int32_t>& frames, int channels, const kv::VocoderSettings& settings,
                               kv::SamplePlayer* player = nullptr) {
  MemoryStreams streams(frames, channels);
  VocoderRun run;
  run.result = kv::runVocoder(*streams.input, streams.output.get(), player, settings);
  run.output = streams.written();
  return run;
}

// The length a pass that ran to its end gives for that many input frames: round(T/P × frames) + 1.
inline int64_t expectedOutputLength(const kv::VocoderSettings& settings, int64_t frames) {
  kv::VocoderSizes sizes;
  kv::computeVocoderSizes(settings.pitchFactor, settings.timeFactor, settings.fftSize, settings.windowMode, sizes);
  return static_cast<int64_t>(std::floor(sizes.timeRatio / sizes.pitchRatio * frames + 0.5)) + 1;
}

}  // namespace kvtest
