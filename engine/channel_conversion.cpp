#include "engine/channel_conversion.h"

#include <algorithm>
#include <new>
#include <vector>

#include "engine/sample_rate_converter.h"
#include "engine/stream_roles.h"
#include "soundfile/file_types.h"
#include "soundfile/heap.h"
#include "soundfile/result_codes.h"

namespace kv {

namespace {

constexpr int64_t kBlockFrames = 2048;

using Samples = std::vector<int32_t, HeapAllocator<int32_t>>;

enum class Mapping { kCopy, kStereoToMono, kMonoToStereo };

// Moves frames from in to out a block at a time, each block mapped from in's channels to out's.
int32_t mapFrames(SoundStream& in, SoundStream& out, Mapping mapping) {
  const int inChannels = in.channels();
  const int outChannels = out.channels();
  const int64_t frames = in.length() / inChannels;
  Samples input;
  Samples output;
  try {
    input.resize(static_cast<size_t>(kBlockFrames * inChannels));
    output.resize(static_cast<size_t>(kBlockFrames * outChannels));
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
  for (int64_t done = 0; done < frames;) {
    int64_t got = 0;
    const int32_t read = in.read(input.data(), std::min(kBlockFrames, frames - done) * inChannels, got);
    if (read != kOk && read != kEndOfFile) return read;
    // An input that holds less than its length ends at its last whole frame.
    const int64_t n = got / inChannels;
    for (int64_t i = 0; i < n; ++i) {
      const size_t at = static_cast<size_t>(i);
      switch (mapping) {
        case Mapping::kCopy:
          std::copy_n(&input[at * inChannels], inChannels, &output[at * outChannels]);
          break;
        case Mapping::kStereoToMono: {
          const int32_t sum = (input[2 * at] >> 16) + (input[2 * at + 1] >> 16);
          output[at] = (sum >> 1) * 65536;  // the halved sum rounded down, as a 16-bit sample
          break;
        }
        case Mapping::kMonoToStereo:
          output[2 * at] = output[2 * at + 1] = input[at];
          break;
      }
    }
    const int32_t written = out.write(output.data(), n * outChannels);
    if (written != kOk) return written;
    if (read != kOk) return read;
    done += n;
  }
  return kOk;
}

}  // namespace

int32_t convertChannels(SoundStream& in, SoundStream& out) {
  if (!readableIntoWritable(in, out)) return kBadCall;
  int32_t result = in.seekFrame(0);
  if (result != kOk) return result;

  if (in.sampleRate() != out.sampleRate()) {
    result = convertSampleRate(in, out, 1.0f, 1.0f, out.sampleRate(), 1.0f);
  } else if (in.channels() == out.channels() && in.channels() >= 1) {
    result = mapFrames(in, out, Mapping::kCopy);
  } else if (in.channels() == 2 && out.channels() == 1) {
    result = mapFrames(in, out, Mapping::kStereoToMono);
  } else if (in.channels() == 1 && out.channels() == 2) {
    result = mapFrames(in, out, Mapping::kMonoToStereo);
  } else {
    return kBadCall;
  }
  // A file's header must tell what was written, even after a failure.
  const int32_t finished = out.typeFound() == kFileTypeMemory ? kOk : out.finish();
  return result != kOk ? result : finished;
}

}  // namespace kv
