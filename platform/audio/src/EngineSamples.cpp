#include "platform/audio/EngineSamples.h"

namespace lentaro::audio {

namespace {

int engineEncoding(const Format& format) {
  switch (format.encoding) {
    case Encoding::MuLaw:
      return kv::kEncodingMuLaw;
    case Encoding::ALaw:
      return kv::kEncodingALaw;
    case Encoding::Pcm:
      break;
  }
  // Wave files and sound cards keep 8-bit PCM unsigned and wider PCM signed.
  return format.bitsPerSample == 8 ? kv::kEncodingUnsigned : kv::kEncodingSigned;
}

}  // namespace

const kv::SamplePacking& enginePacking(const Format& format) {
  return *kv::findSamplePacking(format.bytesPerSample(), engineEncoding(format), false);
}

kv::SampleFormat waveSampleFormat(const Format& format) {
  kv::SampleFormat wave;
  wave.sampleRate = static_cast<float>(format.sampleRate);
  wave.channels = format.channels;
  if (format.encoding != Encoding::Pcm) {
    wave.bytesPerSample = 2;
    wave.encoding = kv::kEncodingSigned;
  } else {
    wave.bytesPerSample = static_cast<std::int16_t>(format.bitsPerSample == 32 ? 3 : format.bytesPerSample());
    wave.encoding = engineEncoding(format);
  }
  return wave;
}

}  // namespace lentaro::audio
