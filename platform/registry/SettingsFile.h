#pragma once

#include "platform/registry/FileHandle.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace lentaro::registry {

// Reading a settings file of the program (a hive, the trace runtime's SXCLIENT.INI) whatever
// stands at its name. Only a regular file is read, and only up to a size far above any real
// settings file: a named pipe, device, socket or folder, or a link to one, is refused without
// waiting on it, and a link to an endless device cannot fill the memory.

constexpr std::uint64_t settingsFileSizeLimit = std::uint64_t(16) << 20;

enum class ReadOutcome {
    Ok,
    Unreadable, // missing, or it could not be opened or read
    NotRegular, // not a regular file; nothing was read from it
    TooLarge    // a regular file holding more than settingsFileSizeLimit bytes
};

// Opens the file for reading; the handle holds it only when the outcome is Ok. Otherwise
// problem says, for people, what was wrong and where.
ReadOutcome openSettingsFile(const std::filesystem::path& file, FileHandle& handle,
                             std::string& problem);

// As openSettingsFile, then reads the whole file into contents; the handle stays open on it.
ReadOutcome readSettingsFile(const std::filesystem::path& file, FileHandle& handle,
                             std::string& contents, std::string& problem);

} // namespace lentaro::registry
