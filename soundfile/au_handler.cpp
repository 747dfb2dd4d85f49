#include "soundfile/au_handler.h"

#include <algorithm>
#include <cstring>

#include "soundfile/byte_order.h"
#include "soundfile/file_samples.h"
#include "soundfile/file_types.h"
#include "soundfile/g72x.h"
#include "soundfile/result_codes.h"
#include "soundfile/sample_packing.h"

namespace kv {

namespace {

struct AuEncoding {
  uint32_t code;
  int16_t bytesPerSample;  // of the samples the stream delivers
  int32_t encoding;
  G72xDecoder decoder;  // null for stored samples
  int codeBits;
};

constexpr AuEncoding kEncodings[] = {
    {kAuMuLaw8, 1, kEncodingMuLaw, nullptr, 0},         {kAuLinear8, 1, kEncodingSigned, nullptr, 0},
    {kAuLinear16, 2, kEncodingSigned, nullptr, 0},      {kAuLinear24, 3, kEncodingSigned, nullptr, 0},
    {kAuG721, 2, kEncodingSigned, g721Decode, 4},       {kAuG723_24, 2, kEncodingSigned, g723_24Decode, 3},
    {kAuG723_40, 2, kEncodingSigned, g723_40Decode, 5},
};

const AuEncoding* findEncoding(uint32_t code) {
  for (const AuEncoding& entry : kEncodings) {
    if (entry.code == code) return &entry;
  }
  return nullptr;
}

// The encoding field for a stored format; 0 for a format au files cannot hold as it is.
uint32_t encodingFieldFor(const SampleFormat& format) {
  for (const AuEncoding& entry : kEncodings) {
    if (!entry.decoder && entry.bytesPerSample == format.bytesPerSample && entry.encoding == format.encoding) {
      return entry.code;
    }
  }
  return 0;
}

// The magic in file order: ".snd" (big-endian fields) or "dns." (little-endian), each also with a
// zero in place of the n.
bool readMagic(const uint8_t* magic, bool& bigEndian) {
  if (std::memcmp(magic, ".snd", 4) == 0 || std::memcmp(magic, ".sd\0", 4) == 0) {
    bigEndian = true;
    return true;
  }
  if (std::memcmp(magic, "dns.", 4) == 0 || std::memcmp(magic, "\0ds.", 4) == 0) {
    bigEndian = false;
    return true;
  }
  return false;
}

int32_t writeHeader(StreamState& stream, uint32_t dataBytes) {
  const SampleFormat& format = stream.format;
  uint8_t header[kAuHeaderBytes];
  std::memcpy(header, ".snd", 4);
  putBE32(header + 4, kAuHeaderBytes);
  putBE32(header + 8, dataBytes);
  putBE32(header + 12, encodingFieldFor(format));
  putBE32(header + 16, static_cast<uint32_t>(format.sampleRate));
  putBE32(header + 20, static_cast<uint32_t>(format.channels));
  return writeExact(*stream.file, header, sizeof header) ? kOk : kFileError;
}

}  // namespace

int32_t auStartRead(StreamState& stream) {
  ByteFile& file = *stream.file;
  stream.length = 0;

  uint8_t header[kAuHeaderBytes];
  bool bigEndian = false;
  if (!readExact(file, header, 4) || !readMagic(header, bigEndian)) return kMalformedInput;
  if (!readExact(file, header + 4, kAuHeaderBytes - 4)) return kMalformedInput;
  const auto field = [&](int index) { return bigEndian ? getBE32(header + 4 * index) : getLE32(header + 4 * index); };
  const uint32_t headerBytes = field(1);
  const AuEncoding* encoding = findEncoding(field(3));
  const uint32_t rate = field(4);
  const uint32_t channels = field(5);
  if (headerBytes < kAuHeaderBytes || !encoding) return kMalformedInput;
  if (rate == 0 || !usableChannelCount(channels)) return kMalformedInput;

  // The annotation is skipped, however long it claims to be; it must be there.
  if (headerBytes > kAuHeaderBytes) {
    uint8_t last;
    if (!file.seek(headerBytes - 1) || !readExact(file, &last, 1)) return kMalformedInput;
  }
  const int64_t fileBytes = file.size();
  if (fileBytes < 0) return kFileError;

  stream.format.sampleRate = static_cast<float>(rate);
  stream.format.bytesPerSample = encoding->bytesPerSample;
  stream.format.encoding = encoding->encoding;
  stream.format.channels = static_cast<int32_t>(channels);
  stream.bigEndian = bigEndian;
  stream.position = 0;
  stream.typeFound = kFileTypeAu;

  // The data size field is not trusted: writers that could not go back leave it unknown.
  const int64_t dataBytes = fileBytes - headerBytes;
  int64_t samples;
  if (encoding->decoder) {
    stream.adpcm.start(encoding->decoder, encoding->codeBits);
    // dataBytes * 8 / codeBits without the product, which a sparse file's size could overflow.
    samples = dataBytes / encoding->codeBits * 8 + dataBytes % encoding->codeBits * 8 / encoding->codeBits;
  } else {
    samples = dataBytes / encoding->bytesPerSample;
  }
  stream.length = wholeFrameSamples(samples, stream.format.channels);
  return kOk;
}

int32_t auRead(StreamState& stream, int32_t* samples, int64_t count, int64_t& delivered) {
  if (!stream.adpcm.active()) return readFileSamples(stream, samples, count, delivered);
  delivered = 0;
  const int64_t wanted = std::min(count, std::max<int64_t>(0, stream.length - stream.position));
  int16_t sample = 0;
  while (delivered < wanted && stream.adpcm.next(*stream.file, sample)) {
    samples[delivered++] = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(sample)) << 16);
    ++stream.position;
  }
  return delivered < wanted && stream.file->failed() ? kFileError : kOk;
}

int32_t auSeek(StreamState& stream, int64_t sample) {
  if (!stream.adpcm.active()) {
    const int64_t offset = sample * storedSampleBytes(stream.format.bytesPerSample);
    return stream.file->seek(stream.dataOffset + offset) ? kOk : kFailure;
  }
  // Every code is decoded in the state all codes before it left: going back starts again from the
  // first, going forward decodes on from where the stream stands.
  if (sample < stream.position) {
    if (!stream.file->seek(stream.dataOffset)) return kFailure;
    stream.adpcm.restart();
    stream.position = 0;
  }
  int16_t skipped = 0;
  while (stream.position < sample && stream.adpcm.next(*stream.file, skipped)) ++stream.position;
  return stream.position == sample ? kOk : kFailure;
}

int32_t auPrepareWrite(SampleFormat& format) {
  if (!usableChannelCount(format.channels)) return kBadCall;
  if (!(format.sampleRate >= 1.0f && format.sampleRate < 4294967296.0f)) return kBadCall;
  // Unset: mu-law for 8-bit samples, the linear encodings for wider ones.
  if (format.encoding == kUnset) format.encoding = format.bytesPerSample == 1 ? kEncodingMuLaw : kEncodingSigned;
  // What au cannot hold is stored as mu-law, at the stream's own rate.
  if (encodingFieldFor(format) == 0) {
    format.bytesPerSample = 1;
    format.encoding = kEncodingMuLaw;
  }
  return kOk;
}

int32_t auStartWrite(StreamState& stream) {
  stream.length = 0;
  stream.position = 0;
  stream.bigEndian = true;
  return writeHeader(stream, kAuUnknownDataSize);
}

int32_t auStopWrite(StreamState& stream) {
  ByteFile& file = *stream.file;
  const int64_t sampleBytes = stream.format.bytesPerSample;
  const int64_t dataBytes = stream.length * sampleBytes;
  // A size the field cannot hold stays unknown, which reads to the end of the file all the same.
  const uint32_t stated = dataBytes < kAuUnknownDataSize ? static_cast<uint32_t>(dataBytes) : kAuUnknownDataSize;
  if (!file.seek(0) || writeHeader(stream, stated) != kOk) return kFileError;
  return kOk;
}

}  // namespace kv
