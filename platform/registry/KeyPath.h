#pragma once

#include "platform/registry/Result.h"
#include "platform/registry/RootKey.h"

#include <string>
#include <string_view>
#include <vector>

namespace lentaro::registry {

// A key path resolved to its hive: the names from the hive's top, of which the first
// rootDepth stand for the root key itself.
struct KeyPath {
    Hive hive = Hive::User;
    std::vector<std::string> names;
    std::size_t rootDepth = 0;
    std::string text; // as people read it: "HKEY_CURRENT_USER\Software\Lentaro"

    bool isRoot() const { return names.size() == rootDepth; }
};

Result resolveKeyPath(RootKey root, std::string_view path, KeyPath& resolved);

Result keyNotFound(const KeyPath& key);
Result valueNotFound(const KeyPath& key, std::string_view valueName);

} // namespace lentaro::registry
