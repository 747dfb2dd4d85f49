#include "soundfile/sample_conversion.h"

#include "soundfile/sample_packing.h"

namespace kv {

int32_t convertBlock(SoundStream& stream, const int32_t* samples, void* destination, int64_t count,
                     bool playedAs16Bit) {
  const SampleFormat& format = stream.state_.format;
  const bool as16 = playedAs16Bit && format.bytesPerSample == 3;
  const SamplePacking* packing =
      findSamplePacking(as16 ? 2 : format.bytesPerSample, as16 ? kEncodingSigned : format.encoding, false);
  if (!packing) {
    stream.state_.lastError = kInternalError;
    return kInternalError;
  }
  if (count > 0) packSamples(*packing, samples, static_cast<uint8_t*>(destination), static_cast<std::size_t>(count));
  return kOk;
}

}  // namespace kv
