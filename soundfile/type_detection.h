#pragma once
// Finding a sound file's type from its first bytes.

#include <cstdint>

#include "soundfile/byte_file.h"
#include "soundfile/stream_state.h"

namespace kv {

// Looks at the first 132 bytes and leaves the file at its start. Gives kOk and the type
// (aiff, aifc, wav or au), kFileError for a file shorter than that, or kUnsupportedFormat.
int32_t detectFileType(ByteFile& file, int& fileType);

// Start-read of the "auto" row: detects the type, switches the stream to that type's handler and
// runs its start-read.
int32_t detectAndStartRead(StreamState& stream);

}  // namespace kv
