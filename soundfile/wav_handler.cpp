#include "soundfile/wav_handler.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "soundfile/byte_order.h"
#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sample_packing.h"
#include "soundfile/warning.h"

namespace kv {

namespace {

constexpr int kHeaderBytes = 44;
constexpr int64_t kMaxDataBytes = 0xFFFFFFFFLL - 36 - 1;  // the RIFF size must hold data, header and pad
constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagALaw = 6;
constexpr uint16_t kTagMuLaw = 7;
constexpr uint16_t kTagExtensible = 0xFFFE;  // the tag that says: the real one is in the extension

constexpr uint32_t kFormatBytes = 16;
// The extensible format block: the plain one, the extension's size, then the extension itself
// (valid bits per sample, channel mask, sub-format GUID).
constexpr uint16_t kExtensionBytes = 22;
constexpr uint32_t kExtensibleFormatBytes = kFormatBytes + 2 + kExtensionBytes;
// A sub-format GUID that stands for a format tag holds the tag in its first four bytes, followed
// by these; any other GUID names a format this reader does not know.
constexpr uint8_t kTagGuidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Moves to the body of the next chunk with that id, skipping every other chunk with its pad byte.
bool findChunk(ByteFile& file, const char* id, uint32_t& size) {
  uint8_t header[8];
  while (readExact(file, header, sizeof header)) {
    size = getLE32(header + 4);
    if (std::memcmp(header, id, 4) == 0) return true;
    const int64_t next = file.tell() + size + (size & 1);
    if (!file.seek(next)) return false;
  }
  return false;
}

// Reads the rest of an extensible format block and gives the format tag its sub-format stands for.
// The block's bits per sample are the size of each sample's container, read as a plain block's
// are; how many of those bits are valid, and where the channel mask places the channels, change
// nothing in how the samples are read.
int32_t readExtension(ByteFile& file, uint32_t fmtBytes, uint16_t& tag) {
  uint8_t extension[kExtensibleFormatBytes - kFormatBytes];
  if (fmtBytes < kExtensibleFormatBytes || !readExact(file, extension, sizeof extension)) return kFileError;
  const uint16_t extensionBytes = getLE16(extension);
  if (extensionBytes < kExtensionBytes || 2u + extensionBytes > fmtBytes - kFormatBytes) return kFileError;
  const uint8_t* subFormat = extension + 8;  // after the valid bits and the channel mask
  const uint32_t subFormatTag = getLE32(subFormat);
  if (std::memcmp(subFormat + 4, kTagGuidTail, sizeof kTagGuidTail) != 0 || subFormatTag == kTagExtensible ||
      subFormatTag > 0xFFFF) {
    return kUnsupportedFormat;
  }
  tag = static_cast<uint16_t>(subFormatTag);
  return kOk;
}

int32_t writeHeader(StreamState& stream, uint32_t dataBytes, uint32_t riffBytes) {
  const SampleFormat& format = stream.format;
  const uint32_t sampleBytes = static_cast<uint32_t>(format.bytesPerSample);
  const uint32_t channels = static_cast<uint32_t>(format.channels);
  const uint32_t rate = static_cast<uint32_t>(format.sampleRate);
  const uint16_t tag = format.encoding == kEncodingMuLaw  ? kTagMuLaw
                       : format.encoding == kEncodingALaw ? kTagALaw
                                                          : kTagPcm;
  uint8_t header[kHeaderBytes];
  std::memcpy(header, "RIFF", 4);
  putLE32(header + 4, riffBytes);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  putLE32(header + 16, 16);
  putLE16(header + 20, tag);
  putLE16(header + 22, channels);
  putLE32(header + 24, rate);
  putLE32(header + 28, static_cast<uint32_t>(static_cast<double>(format.sampleRate) * channels * sampleBytes));
  putLE16(header + 32, channels * sampleBytes);
  putLE16(header + 34, 8 * sampleBytes);
  std::memcpy(header + 36, "data", 4);
  putLE32(header + 40, dataBytes);
  return writeExact(*stream.file, header, sizeof header) ? kOk : kFileError;
}

}  // namespace

int32_t wavStartRead(StreamState& stream) {
  ByteFile& file = *stream.file;
  stream.length = 0;

  uint8_t riff[12];
  if (!readExact(file, riff, 4) || std::memcmp(riff, "RIFF", 4) != 0) return kUnsupportedFormat;
  if (!readExact(file, riff + 4, 8) || std::memcmp(riff + 8, "WAVE", 4) != 0) return kFileError;

  uint32_t fmtBytes = 0;
  if (!findChunk(file, "fmt ", fmtBytes) || fmtBytes < kFormatBytes) return kFileError;
  uint8_t fmt[kFormatBytes];
  if (!readExact(file, fmt, sizeof fmt)) return kFileError;
  uint16_t tag = getLE16(fmt);
  const uint16_t channels = getLE16(fmt + 2);
  const uint32_t rate = getLE32(fmt + 4);
  const uint16_t blockAlign = getLE16(fmt + 12);
  const uint16_t bits = getLE16(fmt + 14);
  uint32_t fmtRead = kFormatBytes;
  if (tag == kTagExtensible) {
    if (const int32_t result = readExtension(file, fmtBytes, tag); result != kOk) return result;
    fmtRead = kExtensibleFormatBytes;
  }

  int32_t encoding;
  switch (tag) {
    case kTagPcm:
      encoding = bits <= 8 ? kEncodingUnsigned : kEncodingSigned;
      break;
    case kTagALaw:
      encoding = kEncodingALaw;
      break;
    case kTagMuLaw:
      encoding = kEncodingMuLaw;
      break;
    default:
      return kUnsupportedFormat;  // compressed data
  }
  if (!usableChannelCount(channels) || rate == 0) return kFileError;

  // 17- to 24-bit data sits in 3-byte containers, most significant bits first, so it reads as
  // 24-bit samples; anything wider (or packed otherwise) is refused rather than misread. Wave files
  // are not written with samples of fewer than 8 bits: reading a header that says so either way
  // would be a guess at its data.
  int16_t sampleBytes;
  if (bits == 8) {
    sampleBytes = 1;
  } else if (bits >= 9 && bits <= 16) {
    sampleBytes = 2;
  } else if (bits >= 17 && bits <= 24 && blockAlign == 3 * channels) {
    sampleBytes = 3;
  } else {
    if (bits == 0) {
      stream.problem = "its header gives no sample size";
    } else if (bits < 8) {
      stream.problem = "it says its samples have " + std::to_string(bits) +
                       " bits, a size wave files do not have (theirs have 8 to 24 bits)";
    } else if (bits > 24) {
      stream.problem = "it holds " + std::to_string(bits) + "-bit samples, which this program does not read";
    } else if (bits > 16) {
      stream.problem = "it holds " + std::to_string(bits) + "-bit samples stored in a way this program does not read";
    }
    return kFileError;
  }
  if (tag != kTagPcm && sampleBytes != 1) return kFileError;  // companded data is 8-bit only

  const int64_t rest = static_cast<int64_t>(fmtBytes) - fmtRead + (fmtBytes & 1);
  if (!file.seek(file.tell() + rest)) return kFileError;

  uint32_t dataBytes = 0;
  if (!findChunk(file, "data", dataBytes)) return kFileError;

  stream.format.sampleRate = static_cast<float>(rate);
  stream.format.channels = channels;
  stream.format.bytesPerSample = sampleBytes;
  stream.format.encoding = encoding;
  stream.position = 0;
  stream.typeFound = kFileTypeWav;

  // An unfinished header claims more than was written and a cut-off file holds less than it
  // claims: either way the samples are those actually present.
  int64_t available = dataBytes == kWavProvisionalDataSize ? std::numeric_limits<int64_t>::max() : dataBytes;
  const int64_t fileBytes = file.size();
  const int64_t dataStart = file.tell();
  if (fileBytes >= 0 && dataStart >= 0) available = std::min(available, std::max<int64_t>(0, fileBytes - dataStart));
  stream.length = wholeFrameSamples(available / sampleBytes, channels);
  if (dataBytes != kWavProvisionalDataSize) stream.statedLength = wholeFrameSamples(dataBytes / sampleBytes, channels);
  return kOk;
}

int32_t wavPrepareWrite(SampleFormat& format) {
  const int sampleBytes = format.bytesPerSample;
  if (sampleBytes < 1 || sampleBytes > 3) return kUnsupportedFormat;
  if (!usableChannelCount(format.channels)) return kBadCall;
  if (!(format.sampleRate >= 1.0f) ||
      static_cast<double>(format.sampleRate) * format.channels * sampleBytes > 4294967295.0) {
    return kBadCall;
  }
  if (format.encoding == kUnset) format.encoding = sampleBytes == 1 ? kEncodingUnsigned : kEncodingSigned;
  if (!findSamplePacking(sampleBytes, format.encoding, false)) return kUnsupportedFormat;

  const int bits = 8 * sampleBytes;
  if (format.encoding == kEncodingSigned && bits == 8) {
    warning("Warning - writing bad .wav file using signed data and %d bits/sample", bits);
  } else if (format.encoding == kEncodingUnsigned && bits != 8) {
    warning("Warning - writing bad .wav file using unsigned data and %d bits/sample", bits);
  }
  return kOk;
}

int32_t wavStartWrite(StreamState& stream) {
  stream.length = 0;
  stream.position = 0;
  return writeHeader(stream, kWavProvisionalDataSize, kWavProvisionalDataSize + 36);
}

int32_t wavStopWrite(StreamState& stream) {
  ByteFile& file = *stream.file;
  const int64_t sampleBytes = storedSampleBytes(stream.format.bytesPerSample);
  // Data beyond what the size fields can hold keeps the provisional header, which reads to the end.
  if (stream.length * sampleBytes > kMaxDataBytes) return kFileError;
  const uint32_t dataBytes = static_cast<uint32_t>(stream.length * sampleBytes);
  const uint32_t pad = dataBytes & 1;  // chunks are padded to even length
  if (!file.seek(0) || writeHeader(stream, dataBytes, dataBytes + 36 + pad) != kOk) return kFileError;
  if (pad) {
    const uint8_t zero = 0;
    if (!file.seek(stream.dataOffset + dataBytes) || !writeExact(file, &zero, 1)) return kFileError;
  }
  return kOk;
}

}  // namespace kv
