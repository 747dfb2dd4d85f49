#pragma once

#include "platform/registry/Key.h"
#include "platform/registry/Result.h"
#include "platform/registry/RootKey.h"

#include <functional>

namespace lentaro::registry {

// The process-wide copy of the hives in memory.
//
// Concurrency: one mutex serialises every operation of the process. Each operation also
// holds an exclusive flock on the hive's lock file in the registry folder ("user.hive.lock")
// and first compares the hive file's stamp (inode, size, times) with that of the file it
// loaded, which it keeps open: a file that another process replaced is read again. A change
// is therefore always made to the latest contents, and instances of the program sharing a
// folder never lose each other's writes. (A tool that rewrites a hive file in place, keeping
// its size, within the file system's timestamp granularity could go unnoticed; the program
// itself only ever replaces the file.) An operation waits at most 5 seconds for the mutex and
// the lock together; then it fails with LockTimeout and changes nothing.
//
// A hive file that cannot be read as a hive, or that is larger than a settings file can be
// (SettingsFile.h), is moved aside (user.hive.bad, .bad.1, ...), the operation that found it
// fails with HiveDamaged and a message saying where it went, and the hive starts empty from
// the next operation. When it cannot be moved aside, or it is no regular file at all (a named
// pipe, a device, a socket, a folder, a link to one), it is left alone and every operation on
// that hive fails with HiveDamaged; it is never written over. A change that would make the
// file larger than a reader accepts fails with IoError and is not made.

// Runs an action on the hive, up to date with its file.
Result readHive(Hive hive, const std::function<Result(const Key& root)>& action);

// As readHive; when the action succeeds and reports a change, the hive file is replaced
// atomically. When that fails the change is dropped from memory as well.
Result changeHive(Hive hive, const std::function<Result(Key& root, bool& changed)>& action);

} // namespace lentaro::registry
