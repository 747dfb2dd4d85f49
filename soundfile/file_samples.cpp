#include "soundfile/file_samples.h"

#include <algorithm>
#include <cstring>

#include "soundfile/result_codes.h"
#include "soundfile/sample_packing.h"
#include "soundfile/warning.h"

namespace kv {

namespace {
// Stored bytes converted and moved together: few enough calls that writing a long file through its
// unbuffered stream (a system call a write) costs little.
constexpr std::size_t kChunkBytes = 32768;
}  // namespace

int32_t readFileSamples(StreamState& stream, int32_t* samples, int64_t count, int64_t& delivered) {
  delivered = 0;
  const SamplePacking* packing =
      findSamplePacking(stream.format.bytesPerSample, stream.format.encoding, stream.bigEndian);
  if (!packing) return kInternalError;
  if (!stream.file) return kBadCall;
  const int64_t wanted = std::min(count, std::max<int64_t>(0, stream.length - stream.position));
  uint8_t stored[kChunkBytes];
  const int64_t perChunk = static_cast<int64_t>(kChunkBytes) / packing->bytes;
  while (delivered < wanted) {
    const int64_t n = std::min(wanted - delivered, perChunk);
    const std::size_t bytes = static_cast<std::size_t>(n * packing->bytes);
    const int64_t got = static_cast<int64_t>(stream.file->read(stored, bytes)) / packing->bytes;
    unpackSamples(*packing, stored, samples + delivered, static_cast<std::size_t>(got));
    delivered += got;
    stream.position += got;
    if (got < n) return stream.file->failed() ? kFileError : kOk;
  }
  return kOk;
}

int32_t readEveryFileSample(StreamState& stream, int32_t* samples, int64_t count, int64_t step, int64_t& delivered) {
  delivered = 0;
  const SamplePacking* packing =
      findSamplePacking(stream.format.bytesPerSample, stream.format.encoding, stream.bigEndian);
  if (!packing) return kInternalError;
  if (!stream.file) return kBadCall;
  const int64_t available = std::max<int64_t>(0, stream.length - stream.position);
  const int64_t span = count > available / step ? available : count * step;
  uint8_t stored[kChunkBytes];
  uint8_t kept[kChunkBytes];
  const int64_t perChunk = static_cast<int64_t>(kChunkBytes) / packing->bytes;
  const std::size_t bytesPerSample = static_cast<std::size_t>(packing->bytes);
  for (int64_t passed = 0; passed < span;) {
    const int64_t n = std::min(span - passed, perChunk);
    const std::size_t bytes = static_cast<std::size_t>(n) * bytesPerSample;
    const int64_t got = static_cast<int64_t>(stream.file->read(stored, bytes)) / packing->bytes;
    // Gathered first, so that one call converts the whole run.
    std::size_t keptCount = 0;
    for (int64_t i = (passed + step - 1) / step * step; i < passed + got; i += step)
      std::memcpy(kept + bytesPerSample * keptCount++, stored + bytesPerSample * static_cast<std::size_t>(i - passed),
                  bytesPerSample);
    unpackSamples(*packing, kept, samples + delivered, keptCount);
    delivered += static_cast<int64_t>(keptCount);
    passed += got;
    stream.position += got;
    if (got < n) return stream.file->failed() ? kFileError : kOk;
  }
  return kOk;
}

int32_t writeFileSamples(StreamState& stream, const int32_t* samples, int64_t count) {
  const SamplePacking* packing =
      findSamplePacking(stream.format.bytesPerSample, stream.format.encoding, stream.bigEndian);
  if (!packing) return kInternalError;
  if (!stream.file) return kBadCall;
  uint8_t stored[kChunkBytes];
  const int64_t perChunk = static_cast<int64_t>(kChunkBytes) / packing->bytes;
  for (int64_t done = 0; done < count;) {
    const int64_t n = std::min(count - done, perChunk);
    const std::size_t bytes = static_cast<std::size_t>(n * packing->bytes);
    packSamples(*packing, samples + done, stored, static_cast<std::size_t>(n));
    const std::size_t written = stream.file->write(stored, bytes);
    const int64_t whole = static_cast<int64_t>(written) / packing->bytes;
    stream.position += whole;
    stream.length = std::max(stream.length, stream.position);
    done += whole;
    if (written < bytes) {
      // Keep the file at a sample boundary so that what was written stays whole.
      stream.file->seek(stream.dataOffset + stream.position * packing->bytes);
      warning("Error writing sample file.  You are probably out of disk space.");
      return kFileError;
    }
  }
  return kOk;
}

}  // namespace kv
