#include "platform/registry/Registry.h"

#include "platform/registry/HiveStore.h"
#include "platform/registry/KeyPath.h"

namespace lentaro::registry {

namespace {

// For reading: the key, or an empty one for a root whose own path has not been made yet
// (HKEY_CLASSES_ROOT before anything is stored under it), since a root always exists.
const Key* findForReading(const Key& hiveRoot, const KeyPath& key)
{
    static const Key emptyRoot;
    if (const Key* found = hiveRoot.find(key.names))
        return found;
    return key.isRoot() ? &emptyRoot : nullptr;
}

// Runs `read` on the key at the path, or says why there is none.
template <typename Read>
Result readKey(RootKey root, std::string_view path, Read read)
{
    KeyPath key;
    Result result = resolveKeyPath(root, path, key);
    if (!result.ok())
        return result;
    return readHive(key.hive, [&](const Key& hiveRoot) {
        const Key* found = findForReading(hiveRoot, key);
        return found ? read(*found, key) : keyNotFound(key);
    });
}

std::vector<std::string> parentNames(const KeyPath& key)
{
    return std::vector<std::string>(key.names.begin(), key.names.end() - 1);
}

} // namespace

Result createKey(RootKey root, std::string_view path)
{
    KeyPath key;
    Result result = resolveKeyPath(root, path, key);
    if (!result.ok())
        return result;
    return changeHive(key.hive, [&](Key& hiveRoot, bool& changed) {
        hiveRoot.make(key.names, changed);
        return Result{};
    });
}

Result findKey(RootKey root, std::string_view path)
{
    return readKey(root, path, [](const Key&, const KeyPath&) { return Result{}; });
}

Result deleteKey(RootKey root, std::string_view path)
{
    KeyPath key;
    Result result = resolveKeyPath(root, path, key);
    if (!result.ok())
        return result;
    if (key.isRoot()) {
        return Result::failure(Status::InvalidName,
                               "The root key " + key.text + " cannot be deleted.");
    }
    return changeHive(key.hive, [&](Key& hiveRoot, bool& changed) {
        Key* parent = hiveRoot.find(parentNames(key));
        if (!parent || !parent->removeSubKey(key.names.back()))
            return keyNotFound(key);
        changed = true;
        return Result{};
    });
}

Result subKeyNames(RootKey root, std::string_view path, std::vector<std::string>& names)
{
    names.clear();
    return readKey(root, path, [&](const Key& found, const KeyPath&) {
        names = found.subKeyNames();
        return Result{};
    });
}

Result valueNames(RootKey root, std::string_view path, std::vector<std::string>& names)
{
    names.clear();
    return readKey(root, path, [&](const Key& found, const KeyPath&) {
        names = found.valueNames();
        return Result{};
    });
}

Result getValue(RootKey root, std::string_view path, std::string_view name, Value& value)
{
    return readKey(root, path, [&](const Key& found, const KeyPath& key) {
        const Value* stored = found.value(name);
        if (!stored)
            return valueNotFound(key, name);
        value = *stored;
        return Result{};
    });
}

Result setValue(RootKey root, std::string_view path, std::string_view name, const Value& value)
{
    KeyPath key;
    Result result = resolveKeyPath(root, path, key);
    if (!result.ok())
        return result;
    return changeHive(key.hive, [&](Key& hiveRoot, bool& changed) {
        Key* found = key.isRoot() ? &hiveRoot.make(key.names, changed) : hiveRoot.find(key.names);
        if (!found)
            return keyNotFound(key);
        found->setValue(name, value);
        changed = true;
        return Result{};
    });
}

Result deleteValue(RootKey root, std::string_view path, std::string_view name)
{
    KeyPath key;
    Result result = resolveKeyPath(root, path, key);
    if (!result.ok())
        return result;
    return changeHive(key.hive, [&](Key& hiveRoot, bool& changed) {
        Key* found = hiveRoot.find(key.names);
        if (!found)
            return key.isRoot() ? valueNotFound(key, name) : keyNotFound(key);
        if (!found->removeValue(name))
            return valueNotFound(key, name);
        changed = true;
        return Result{};
    });
}

} // namespace lentaro::registry
