#include <cctype>

#include "engine/aiff_handler.h"
#include "engine/au_handler.h"
#include "engine/file_samples.h"
#include "engine/file_types.h"
#include "engine/format_handler.h"
#include "engine/memory_samples.h"
#include "engine/sf_handler.h"
#include "engine/type_detection.h"
#include "engine/wav_handler.h"

namespace kv {

namespace {

// A new file format is one more row here. Entries left null do nothing and succeed; a null seek
// moves by the stored sample size.
const FormatHandler kHandlers[] = {
    // names            start-read          read               seek     prepare-write     start-write     write               stop-write
    {{"auto", nullptr}, detectAndStartRead, nullptr,           nullptr, nullptr,          nullptr,        nullptr,            nullptr},
    {{"mem", nullptr},  nullptr,            readMemorySamples, nullptr, nullptr,          nullptr,        writeMemorySamples, nullptr},
    {{"au", nullptr},   auStartRead,        auRead,            auSeek,  auPrepareWrite,   auStartWrite,   writeFileSamples,   auStopWrite},
    {{"aiff", "aif"},   aiffStartRead,      readFileSamples,   nullptr, aiffPrepareWrite, aiffStartWrite, writeFileSamples,   aiffStopWrite},
    {{"sf", nullptr},   sfStartRead,        readFileSamples,   nullptr, sfPrepareWrite,   sfStartWrite,   writeFileSamples,   nullptr},
    {{"wav", nullptr},  wavStartRead,       readFileSamples,   nullptr, wavPrepareWrite,  wavStartWrite,  writeFileSamples,   wavStopWrite},
};

bool sameName(std::string_view a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return i == a.size() && b[i] == '\0';
}

}  // namespace

const char* readHandlerName(int fileType) {
  switch (fileType) {
    case kFileTypeDetect:
      return "auto";
    case kFileTypeAiff:
    case kFileTypeAifc:
      return "aiff";
    case kFileTypeWav:
      return "wav";
    case kFileTypeAu:
      return "au";
    case kFileTypeSf:
      return "sf";
    case kFileTypeMemory:
      return "mem";
    case kFileTypeSd2:
      return "sd2";
    default:
      return nullptr;
  }
}

const char* writeHandlerName(int fileType) {
  switch (fileType) {
    case kFileTypeAiff:
      return "aiff";
    case kFileTypeWav:
      return "wav";
    case kFileTypeAu:
      return "au";
    case kFileTypeSf:
      return "sf";
    case kFileTypeMemory:
      return "mem";
    case kFileTypeSd2:
      return "sd2";
    case kFileTypeRa:
      return "ra";
    default:
      return nullptr;
  }
}

const FormatHandler* findHandler(std::string_view name) {
  for (const FormatHandler& row : kHandlers) {
    for (const char* rowName : row.names) {
      if (rowName && sameName(name, rowName)) return &row;
    }
  }
  return nullptr;
}

}  // namespace kv
