#include "soundfile/sf_handler.h"

#include <cmath>
#include <cstring>

#include "soundfile/byte_order.h"
#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"

namespace kv {

namespace {

constexpr uint32_t kPackingShort = 2;
constexpr uint32_t kPackingFloat = 4;
constexpr uint16_t kCodeEnd = 0;
constexpr uint16_t kCodeComment = 2;

float floatFromBits(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

uint32_t bitsFromFloat(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

bool usableRate(float rate) { return std::isfinite(rate) && rate > 0.0f; }

}  // namespace

int32_t sfStartRead(StreamState& stream) {
  ByteFile& file = *stream.file;
  uint8_t header[kSfHeaderBytes];
  if (!file.seek(0) || !readExact(file, header, sizeof header)) return kMalformedInput;
  if (getLE32(header) != kSfMagic) return kMalformedInput;

  const float rate = floatFromBits(getLE32(header + 4));
  const int32_t channels = static_cast<int32_t>(getLE32(header + 8));
  const uint32_t packing = getLE32(header + 12);
  int16_t sizeCode;
  if (packing == kPackingShort) {
    sizeCode = 2;
  } else if (packing == kPackingFloat) {
    sizeCode = kSizeFloat32;
  } else {
    return kUnsupportedFormat;
  }
  if (!usableRate(rate) || !usableChannelCount(channels)) return kMalformedInput;

  stream.format.sampleRate = rate;
  stream.format.bytesPerSample = sizeCode;
  stream.format.encoding = kEncodingSigned;
  stream.format.channels = channels;
  stream.position = 0;
  stream.typeFound = kFileTypeSf;

  // The header holds no length: the samples are whatever follows it.
  const int64_t fileBytes = file.size();
  if (fileBytes < 0) return kFileError;
  stream.length = wholeFrameSamples((fileBytes - kSfHeaderBytes) / storedSampleBytes(sizeCode), channels);
  return kOk;
}

int32_t sfPrepareWrite(SampleFormat& format) {
  if (!usableChannelCount(format.channels) || !usableRate(format.sampleRate)) return kBadCall;
  if (format.bytesPerSample != kSizeFloat32) format.bytesPerSample = 2;
  format.encoding = kEncodingSigned;
  return kOk;
}

int32_t sfStartWrite(StreamState& stream) {
  const SampleFormat& format = stream.format;
  uint8_t header[kSfHeaderBytes] = {};
  putLE32(header, kSfMagic);
  putLE32(header + 4, bitsFromFloat(format.sampleRate));
  putLE32(header + 8, static_cast<uint32_t>(format.channels));
  putLE32(header + 12, format.bytesPerSample == kSizeFloat32 ? kPackingFloat : kPackingShort);
  // Code list: an empty comment, then the end mark; each entry's size counts its own 4 bytes.
  putLE16(header + 16, kCodeComment);
  putLE16(header + 18, 4);
  putLE16(header + 20, kCodeEnd);
  putLE16(header + 22, 4);
  stream.length = 0;
  stream.position = 0;
  return writeExact(*stream.file, header, sizeof header) ? kOk : kFileError;
}

}  // namespace kv
