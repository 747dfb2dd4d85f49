#pragma once

namespace lentaro::registry {

// Moments of a hive file's replacement, so that a test can stop a writer at each of them
// (for instance by killing its own process) and check what a reader then finds.
enum class WriteStage {
    TempHalfWritten, // the temporary file holds the first half of the new text
    TempSynced,      // the temporary file is whole and on disk, the hive file not yet replaced
    Renamed          // the temporary file has replaced the hive file
};

using WriteHook = void (*)(WriteStage stage);

// Null (the default) turns the hook off.
void setWriteHook(WriteHook hook);

} // namespace lentaro::registry
