#pragma once

#include <QString>

#include <optional>

namespace lentaro {

// Where the system information tool is, as the machine hive records it: "SOFTWARE\Microsoft\
// Shared Tools\MSINFO" value "PATH", else the folder in "SOFTWARE\Microsoft\Shared Tools
// Location" value "MSINFO" (a folder) with the file MSINFO32.EXE in it, when that exists. Nothing when
// neither gives a path; a key or value that cannot be read counts as not found.
std::optional<QString> systemInfoPath();

} // namespace lentaro
