#pragma once

#include <QString>

#include <optional>

namespace lentaro {

// Where the system information tool is, as the machine hive records it: the value "PATH" of the
// key "SOFTWARE\Microsoft\Shared Tools\MSINFO"; else the folder in the value "MSINFO" of
// "SOFTWARE\Microsoft\Shared Tools Location", with the file MSINFO32.EXE in it, when that
// exists. Nothing when neither gives a path; a key or value that cannot be read counts as not
// found.
std::optional<QString> systemInfoPath();

} // namespace lentaro
