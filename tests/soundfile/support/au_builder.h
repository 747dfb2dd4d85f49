#pragma once
// Builds au files byte by byte in either byte order.

#include <cstdint>

#include "tests/soundfile/support/aiff_builder.h"
#include "tests/soundfile/support/riff_builder.h"

namespace kvtest {

struct AuHeader {
  bool bigEndian = true;
  uint32_t headerBytes = 24;
  uint32_t dataBytes = 0xFFFFFFFF;
  uint32_t encoding = 3;
  uint32_t rate = 8000;
  uint32_t channels = 1;
};

// The header (magic in the file's byte order, six fields), annotation bytes up to the header
// length, then the data.
inline Bytes auFile(const AuHeader& h, const Bytes& data) {
  Bytes out;
  appendText(out, h.bigEndian ? ".snd" : "dns.");
  for (uint32_t field : {h.headerBytes, h.dataBytes, h.encoding, h.rate, h.channels}) {
    if (h.bigEndian) {
      appendBE32(out, field);
    } else {
      appendLE32(out, field);
    }
  }
  if (h.headerBytes > out.size()) out.resize(h.headerBytes, 'a');
  appendBytes(out, data);
  return out;
}

}  // namespace kvtest
