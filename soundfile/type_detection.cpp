#include "soundfile/type_detection.h"

#include <cstring>

#include "soundfile/byte_order.h"
#include "soundfile/file_types.h"
#include "soundfile/format_handler.h"
#include "soundfile/result_codes.h"

namespace kv {

namespace {

constexpr std::size_t kProbeBytes = 132;

bool startsWith(const uint8_t* bytes, const char* text) { return std::memcmp(bytes, text, std::strlen(text)) == 0; }

}  // namespace

int32_t detectFileType(ByteFile& file, int& fileType) {
  uint8_t probe[kProbeBytes];
  const bool whole = file.seek(0) && readExact(file, probe, kProbeBytes);
  if (!file.seek(0) || !whole) return kFileError;

  if (startsWith(probe, ".snd") || startsWith(probe, "dns.") || (probe[0] == 0 && startsWith(probe + 1, "ds."))) {
    fileType = kFileTypeAu;
    return kOk;
  }
  if (startsWith(probe, "FORM")) {
    if (startsWith(probe + 8, "AIFF")) {
      fileType = kFileTypeAiff;
      return kOk;
    }
    if (startsWith(probe + 8, "AIFC")) {
      fileType = kFileTypeAifc;
      return kOk;
    }
    return kUnsupportedFormat;
  }
  if (startsWith(probe, "RIFF") && startsWith(probe + 8, "WAVE")) {
    fileType = kFileTypeWav;
    return kOk;
  }
  return kUnsupportedFormat;
}

int32_t detectAndStartRead(StreamState& stream) {
  int fileType = kFileTypeDetect;
  const int32_t detected = detectFileType(*stream.file, fileType);
  if (detected != kOk) return detected;

  const char* name = readHandlerName(fileType);
  const FormatHandler* handler = findHandler(name);
  if (!handler) return kUnsupportedFormat;
  stream.handler = handler;
  stream.handlerName = name;
  return handler->startRead ? handler->startRead(stream) : kOk;
}

}  // namespace kv
