#include "soundfile/aiff_handler.h"

#include <algorithm>
#include <cstring>

#include "soundfile/byte_order.h"
#include "soundfile/extended_real.h"
#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sample_packing.h"
#include "soundfile/warning.h"

namespace kv {

namespace {

constexpr uint32_t kCommonBytes = 18;                   // channels, frames, bits, rate
constexpr uint32_t kAifcTypeBytes = 22;                 // and the compression type
constexpr uint32_t kAifcCommonBytes = 38;               // and the type's name: a count byte, the text, a pad
constexpr char kUncompressedName[] = "not compressed";  // the text that names the type "NONE"
constexpr uint32_t kSoundFieldBytes = 8;                // offset and block size before the samples
constexpr int64_t kMaxFormBytes = 0xFFFFFFFFLL;
constexpr uint32_t kProvisionalDataBytes = 0x7F000000;

struct Common {
  bool found = false;
  uint16_t channels = 0;
  uint16_t bits = 0;
  double rate = 0.0;
};

struct Sound {
  bool found = false;
  uint32_t dataBytes = 0;  // after the offset and block size fields
  uint32_t offset = 0;
  uint32_t blockSize = 0;
  int64_t fieldsEnd = 0;  // file position just after those fields
};

bool sameId(const uint8_t* id, const char* text) { return std::memcmp(id, text, 4) == 0; }

// Rates a stream can carry and other formats can store: at least 1 Hz, below 2^32 Hz.
bool usableRate(double rate) { return rate >= 1.0 && rate < 4294967296.0; }

int32_t readCommon(ByteFile& file, uint32_t size, bool aifc, Common& common) {
  const uint32_t needed = aifc ? kAifcTypeBytes : kCommonBytes;
  uint8_t body[kAifcCommonBytes];
  if (size < needed || !readExact(file, body, needed)) return kMalformedInput;
  common.found = true;
  common.channels = getBE16(body);
  common.bits = getBE16(body + 6);
  common.rate = readExtended(body + 8);
  if (!usableChannelCount(common.channels) || !usableRate(common.rate)) return kMalformedInput;
  if (!aifc) return kOk;
  // Uncompressed data is the type "NONE" under the name "not compressed"; anything else is a
  // compression this reader does not know.
  if (!sameId(body + 18, "NONE") || size < kAifcCommonBytes) return kUnsupportedFormat;
  if (!readExact(file, body + kAifcTypeBytes, kAifcCommonBytes - kAifcTypeBytes)) return kMalformedInput;
  const char* name = reinterpret_cast<const char*>(body + kAifcTypeBytes + 1);  // after the count byte
  if (std::memcmp(name, kUncompressedName, sizeof kUncompressedName - 1) != 0) return kUnsupportedFormat;
  return kOk;
}

int32_t readSound(ByteFile& file, uint32_t size, Sound& sound) {
  uint8_t fields[kSoundFieldBytes];
  if (size < kSoundFieldBytes || !readExact(file, fields, sizeof fields)) return kMalformedInput;
  sound.found = true;
  sound.dataBytes = size - kSoundFieldBytes;
  sound.offset = getBE32(fields);
  sound.blockSize = getBE32(fields + 4);
  sound.fieldsEnd = file.tell();
  return kOk;
}

int16_t sampleBytesForBits(uint16_t bits) {
  switch (bits) {
    case 8:
      return 1;
    case 16:
      return 2;
    case 24:
      return 3;
    default:
      return 0;
  }
}

int32_t writeHeader(StreamState& stream, uint32_t frames) {
  const SampleFormat& format = stream.format;
  const uint32_t channels = static_cast<uint32_t>(format.channels);
  const uint32_t dataBytes = frames * channels * static_cast<uint32_t>(format.bytesPerSample);
  const uint32_t pad = dataBytes & 1;  // chunks are padded to even length
  uint8_t header[kAiffHeaderBytes];
  std::memcpy(header, "FORM", 4);
  putBE32(header + 4, kAiffHeaderBytes - 8 + dataBytes + pad);
  std::memcpy(header + 8, "AIFFCOMM", 8);
  putBE32(header + 16, kCommonBytes);
  putBE16(header + 20, channels);
  putBE32(header + 22, frames);
  putBE16(header + 26, 8 * static_cast<uint32_t>(format.bytesPerSample));
  writeExtended(format.sampleRate, header + 28);
  std::memcpy(header + 38, "SSND", 4);
  putBE32(header + 42, dataBytes + kSoundFieldBytes);
  putBE32(header + 46, 0);  // offset
  putBE32(header + 50, 0);  // block size
  return writeExact(*stream.file, header, sizeof header) ? kOk : kFileError;
}

}  // namespace

int32_t aiffStartRead(StreamState& stream) {
  ByteFile& file = *stream.file;
  stream.length = 0;

  uint8_t form[12];
  if (!readExact(file, form, sizeof form) || !sameId(form, "FORM")) return kMalformedInput;
  const bool aifc = sameId(form + 8, "AIFC");
  if (!aifc && !sameId(form + 8, "AIFF")) return kMalformedInput;

  // Every chunk is visited (markers, instrument and application data are skipped unread); the
  // samples are returned to afterwards.
  Common common;
  Sound sound;
  uint8_t header[8];
  for (;;) {
    const std::size_t got = file.read(header, sizeof header);
    if (got < sizeof header) {
      if (got > 0 && !sound.found) return kMalformedInput;  // cut off before any samples
      break;
    }
    const uint32_t size = getBE32(header + 4);
    const int64_t next = file.tell() + size + (size & 1);
    int32_t result = kOk;
    if (sameId(header, "COMM")) {
      result = readCommon(file, size, aifc, common);
    } else if (sameId(header, "SSND")) {
      result = readSound(file, size, sound);
    }
    if (result != kOk) return result;
    if (!file.seek(next)) break;
  }

  if (!sound.found) return kNoSoundData;
  if (sound.blockSize != 0) return kFileError;
  const int64_t dataStart = sound.fieldsEnd + sound.offset;
  const int64_t fileBytes = file.size();
  if (fileBytes < 0 || dataStart > fileBytes || !file.seek(dataStart)) return kFileError;
  if (!common.found) return kBadCall;  // a stream being read has no format of its own to fall back on
  const int16_t sampleBytes = sampleBytesForBits(common.bits);
  if (sampleBytes == 0) return kUnsupportedFormat;

  stream.format.sampleRate = static_cast<float>(common.rate);
  stream.format.bytesPerSample = sampleBytes;
  stream.format.encoding = kEncodingSigned;
  stream.format.channels = common.channels;
  stream.position = 0;
  stream.bigEndian = true;
  stream.typeFound = aifc ? kFileTypeAifc : kFileTypeAiff;
  if (aifc) stream.handlerName = kAifcHandlerName;

  // The samples are those the chunk states that the file really holds.
  const int64_t stated = sound.dataBytes > sound.offset ? sound.dataBytes - sound.offset : 0;
  const int64_t available = std::min(stated, fileBytes - dataStart);
  stream.length = wholeFrameSamples(available / sampleBytes, common.channels);
  return kOk;
}

int32_t aiffPrepareWrite(SampleFormat& format) {
  if (!usableChannelCount(format.channels)) return kBadCall;
  if (!usableRate(format.sampleRate)) return kBadCall;
  if (format.bytesPerSample == 1 && format.encoding == kEncodingMuLaw) {
    warning("expanding 8-bit u-law to 16 bits");
    format.bytesPerSample = 2;
  }
  if (format.bytesPerSample < 1 || format.bytesPerSample > 3) return kUnsupportedFormat;
  format.encoding = kEncodingSigned;
  return kOk;
}

int32_t aiffStartWrite(StreamState& stream) {
  stream.length = 0;
  stream.position = 0;
  stream.bigEndian = true;
  const uint32_t frameBytes = static_cast<uint32_t>(stream.format.bytesPerSample * stream.format.channels);
  return writeHeader(stream, kProvisionalDataBytes / frameBytes);
}

int32_t aiffStopWrite(StreamState& stream) {
  ByteFile& file = *stream.file;
  const int64_t sampleBytes = stream.format.bytesPerSample;
  const int64_t frames = stream.length / stream.format.channels;
  const int64_t dataBytes = frames * stream.format.channels * sampleBytes;
  const int64_t pad = dataBytes & 1;
  // Data beyond what the size fields can hold keeps the provisional header.
  if (kAiffHeaderBytes - 8 + dataBytes + pad > kMaxFormBytes) return kFileError;
  if (!file.seek(0) || writeHeader(stream, static_cast<uint32_t>(frames)) != kOk) return kFileError;
  if (pad) {
    const uint8_t zero = 0;
    if (!file.seek(stream.dataOffset + dataBytes) || !writeExact(file, &zero, 1)) return kFileError;
  }
  return kOk;
}

}  // namespace kv
