#pragma once

#include "platform/registry/RegistryFolder.h"
#include "platform/registry/Result.h"
#include "platform/registry/RootKey.h"
#include "platform/registry/Value.h"

#include <string>
#include <string_view>
#include <vector>

namespace lentaro::registry {

// Keys and typed values, kept in one file per hive in the registry folder (see
// RegistryFolder.h, RootKey.h for the hives, HiveStore.h for concurrency and damaged files).
//
// A key path is key names joined by backslashes ("Software\Lentaro"); trailing backslashes
// are ignored and the empty path is the root key itself. Names of keys and values compare
// without regard to ASCII letter case and keep the spelling they were made with. The empty
// value name is the key's default value. Every change is on disk when the call returns.
//
// Sub-keys are listed in order of their names with ASCII letters folded to lower case,
// values in the order they were first set; both orders survive a restart.

// Ok also when the key exists already; makes the missing keys on the way.
Result createKey(RootKey root, std::string_view path);
// Ok when the key exists, else KeyNotFound.
Result findKey(RootKey root, std::string_view path);
// Deletes the key with all its sub-keys and values. The root key itself cannot be deleted.
Result deleteKey(RootKey root, std::string_view path);

Result subKeyNames(RootKey root, std::string_view path, std::vector<std::string>& names);
Result valueNames(RootKey root, std::string_view path, std::vector<std::string>& names);

Result getValue(RootKey root, std::string_view path, std::string_view name, Value& value);
// The key must exist (KeyNotFound otherwise), as for an opened registry key.
Result setValue(RootKey root, std::string_view path, std::string_view name, const Value& value);
Result deleteValue(RootKey root, std::string_view path, std::string_view name);

} // namespace lentaro::registry
