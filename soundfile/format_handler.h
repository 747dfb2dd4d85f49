#pragma once
// The table of format handlers: each row serves one file type (or memory), found by name.

#include <cstdint>
#include <string_view>

#include "soundfile/stream_state.h"

namespace kv {

struct FormatHandler {
  const char* names[2];  // the second may be null
  // Parses the header, fills the format and the length, leaves the file at the first sample.
  int32_t (*startRead)(StreamState&);
  // Delivers up to count samples (fewer at the end of the data); the result is 0 or an error.
  int32_t (*read)(StreamState&, int32_t* samples, int64_t count, int64_t& delivered);
  // Moves a file stream to a sample counted from the first one; null: the samples are stored at a
  // fixed size, so the file position follows from the sample's.
  int32_t (*seek)(StreamState&, int64_t sample);
  // Settles the format a write stream will store (defaults, refusals) before any file is touched.
  int32_t (*prepareWrite)(SampleFormat&);
  // Writes the header of a new file.
  int32_t (*startWrite)(StreamState&);
  // Takes all count samples or reports why not.
  int32_t (*write)(StreamState&, const int32_t* samples, int64_t count);
  // Completes the header with what was written; the stream then moves the file back to the
  // write position.
  int32_t (*stopWrite)(StreamState&);
};

// The row with that name, ignoring case; null when no row has it.
const FormatHandler* findHandler(std::string_view name);

// The name of the row that reads or writes a file type code; null for a code no row reads (or
// writes: AIFC is read only). Names without a row ("sd2", "ra") still come back.
const char* readHandlerName(int fileType);
const char* writeHandlerName(int fileType);

}  // namespace kv
