#pragma once

#include "platform/registry/Value.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lentaro::registry {

// Key names: not empty, no backslash (the path separator), at most this many bytes.
constexpr std::size_t maxKeyNameBytes = 255;
bool isValidKeyName(std::string_view name);

// Names of keys and values compare without regard to ASCII letter case and keep the
// spelling they were created with. Other characters compare exactly.
std::string foldCase(std::string_view name);

struct NamedValue {
    std::string name;
    Value value;
};

// One key of a hive in memory: its sub-keys, in order of their folded names, and its
// values, in the order they were first set.
class Key
{
public:
    explicit Key(std::string name = {}) : m_name(std::move(name)) {}

    const std::string& name() const { return m_name; }

    Key* subKey(std::string_view name);
    const Key* subKey(std::string_view name) const;
    // The sub-key of that name, made when missing; `created` tells which happened.
    Key& makeSubKey(std::string_view name, bool& created);
    bool removeSubKey(std::string_view name);
    std::vector<const Key*> subKeys() const;
    std::vector<std::string> subKeyNames() const;

    // The key at a path of names below this one, or null.
    Key* find(const std::vector<std::string>& path);
    const Key* find(const std::vector<std::string>& path) const;
    // The key at a path, made with every missing key on the way.
    Key& make(const std::vector<std::string>& path, bool& created);

    const Value* value(std::string_view name) const;
    // Replacing a value keeps its place and the spelling of its name.
    void setValue(std::string_view name, Value value);
    bool removeValue(std::string_view name);
    const std::vector<NamedValue>& values() const { return m_values; }
    std::vector<std::string> valueNames() const;

private:
    std::string m_name;
    std::map<std::string, std::unique_ptr<Key>> m_subKeys; // by folded name
    std::vector<NamedValue> m_values;
};

} // namespace lentaro::registry
