#include <cctype>

#include "soundfile/aiff_handler.h"
#include "soundfile/au_handler.h"
#include "soundfile/file_samples.h"
#include "soundfile/file_types.h"
#include "soundfile/format_handler.h"
#include "soundfile/memory_samples.h"
#include "soundfile/sf_handler.h"
#include "soundfile/type_detection.h"
#include "soundfile/wav_handler.h"

namespace kv {

namespace {

// A new file format is one more row here. Entries left null do nothing and succeed; a null seek
// moves by the stored sample size.
const FormatHandler kHandlers[] = {
    // names            start-read          read               seek     prepare-write     start-write     write               stop-write
    {{"auto", nullptr}, detectAndStartRead, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    {{"mem", nullptr}, nullptr, readMemorySamples, nullptr, nullptr, nullptr, writeMemorySamples, nullptr},
    {{"au", nullptr}, auStartRead, auRead, auSeek, auPrepareWrite, auStartWrite, writeFileSamples, auStopWrite},
    {{"aiff", "aif"},
     aiffStartRead,
     readFileSamples,
     nullptr,
     aiffPrepareWrite,
     aiffStartWrite,
     writeFileSamples,
     aiffStopWrite},
    {{"sf", nullptr}, sfStartRead, readFileSamples, nullptr, sfPrepareWrite, sfStartWrite, writeFileSamples, nullptr},
    {{"wav", nullptr},
     wavStartRead,
     readFileSamples,
     nullptr,
     wavPrepareWrite,
     wavStartWrite,
     writeFileSamples,
     wavStopWrite},
};

// The row name for each file type code, and which way a stream of that type may go.
struct TypeName {
  int fileType;
  const char* name;
  bool read;
  bool write;
};

const TypeName kTypeNames[] = {
    {kFileTypeDetect, "auto", true, false}, {kFileTypeAiff, "aiff", true, true},
    {kFileTypeAifc, "aiff", true, false},  // read only
    {kFileTypeWav, "wav", true, true},      {kFileTypeAu, "au", true, true},
    {kFileTypeSf, "sf", true, true},        {kFileTypeMemory, "mem", true, true},
    {kFileTypeSd2, "sd2", true, true},  // no handler row: refused once looked up
    {kFileTypeRa, "ra", false, true},   // likewise
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
  for (const TypeName& row : kTypeNames) {
    if (row.fileType == fileType && row.read) return row.name;
  }
  return nullptr;
}

const char* writeHandlerName(int fileType) {
  for (const TypeName& row : kTypeNames) {
    if (row.fileType == fileType && row.write) return row.name;
  }
  return nullptr;
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
