#include "soundfile/sample_format.h"

namespace kv {

SampleFormat SampleFormat::make(float sampleRate, int bytesPerSample, int encoding, int channels) {
  SampleFormat format;
  format.sampleRate = sampleRate;
  format.bytesPerSample = static_cast<int16_t>(bytesPerSample >= 1 && bytesPerSample <= 4 ? bytesPerSample : kUnset);
  format.encoding = encoding == kEncodingSigned ? kEncodingSigned : kUnset;
  format.channels = usableChannelCount(channels) ? channels : kUnset;
  return format;
}

int storedSampleBytes(int sizeCode) {
  if (sizeCode >= 1 && sizeCode <= 4) return sizeCode;
  if (sizeCode == kSizeFloat32) return 4;
  return 0;
}

bool usableChannelCount(int64_t channels) { return channels == 1 || channels == 2 || channels == 4; }

int linearSampleBytes(const SampleFormat& format) {
  const bool companded = format.encoding == kEncodingMuLaw || format.encoding == kEncodingALaw;
  return companded && format.bytesPerSample == 1 ? 2 : format.bytesPerSample;
}

}  // namespace kv
