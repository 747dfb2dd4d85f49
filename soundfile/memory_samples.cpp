#include "soundfile/memory_samples.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

#include "soundfile/result_codes.h"
#include "soundfile/sample_packing.h"

namespace kv {

int32_t readMemorySamples(StreamState& stream, int32_t* samples, int64_t count, int64_t& delivered) {
  delivered = 0;
  const SamplePacking* packing =
      findSamplePacking(stream.format.bytesPerSample, stream.format.encoding, stream.bigEndian);
  if (!packing) return kInternalError;
  const int64_t n = std::min(count, std::max<int64_t>(0, stream.length - stream.position));
  unpackSamples(*packing, stream.buffer + stream.position * packing->bytes, samples, static_cast<std::size_t>(n));
  stream.position += n;
  delivered = n;
  return kOk;
}

int32_t writeMemorySamples(StreamState& stream, const int32_t* samples, int64_t count) {
  const SamplePacking* packing =
      findSamplePacking(stream.format.bytesPerSample, stream.format.encoding, stream.bigEndian);
  if (!packing) return kInternalError;
  if (count > stream.capacity - stream.length) {
    if (stream.ownedBuffer.empty()) return kOutOfMemory;  // a caller's buffer cannot grow
    const int64_t limit = std::numeric_limits<int64_t>::max() / 2 / packing->bytes;
    if (count > limit - stream.capacity) return kOutOfMemory;
    const int64_t grown = 2 * (stream.capacity + count);
    try {
      stream.ownedBuffer.resize(static_cast<std::size_t>(grown * packing->bytes));
    } catch (const std::bad_alloc&) {
      return kOutOfMemory;
    } catch (const std::length_error&) {
      return kOutOfMemory;
    }
    stream.buffer = stream.ownedBuffer.data();
    stream.capacity = grown;
  }
  packSamples(*packing, samples, stream.buffer + stream.length * packing->bytes, static_cast<std::size_t>(count));
  stream.length += count;
  return kOk;
}

}  // namespace kv
