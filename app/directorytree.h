#pragma once

#include <QString>

namespace lentaro {

// Deletes the folder path with everything in it. A trailing "/" is first removed from the
// caller's variable. Nothing happens when no such entry exists. A symbolic link is removed as a
// link and never followed, so nothing outside the tree is touched; a path that is a link is
// itself removed the same way. An entry that cannot be removed throws a
// std::filesystem::filesystem_error, which the caller's trap reads as the run-time error it
// stands for (70 Permission denied, ...); a path that names a plain file raises 76 Path not found.
void deleteDirectoryTree(QString& path);

} // namespace lentaro
