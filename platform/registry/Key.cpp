#include "platform/registry/Key.h"

#include <algorithm>

namespace lentaro::registry {

bool isValidKeyName(std::string_view name)
{
    return !name.empty() && name.size() <= maxKeyNameBytes
           && name.find('\\') == std::string_view::npos;
}

std::string foldCase(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return folded;
}

namespace {

template <typename Values>
auto findNamed(Values& values, std::string_view name)
{
    const std::string folded = foldCase(name);
    return std::find_if(values.begin(), values.end(),
                        [&](const NamedValue& v) { return foldCase(v.name) == folded; });
}

} // namespace

Key* Key::subKey(std::string_view name)
{
    auto it = m_subKeys.find(foldCase(name));
    return it == m_subKeys.end() ? nullptr : it->second.get();
}

const Key* Key::subKey(std::string_view name) const
{
    return const_cast<Key*>(this)->subKey(name);
}

Key& Key::makeSubKey(std::string_view name, bool& created)
{
    std::unique_ptr<Key>& slot = m_subKeys[foldCase(name)];
    if (!slot) {
        slot = std::make_unique<Key>(std::string(name));
        created = true;
    }
    return *slot;
}

bool Key::removeSubKey(std::string_view name)
{
    return m_subKeys.erase(foldCase(name)) > 0;
}

std::vector<const Key*> Key::subKeys() const
{
    std::vector<const Key*> keys;
    keys.reserve(m_subKeys.size());
    for (const auto& entry : m_subKeys)
        keys.push_back(entry.second.get());
    return keys;
}

std::vector<std::string> Key::subKeyNames() const
{
    std::vector<std::string> names;
    names.reserve(m_subKeys.size());
    for (const auto& entry : m_subKeys)
        names.push_back(entry.second->name());
    return names;
}

Key* Key::find(const std::vector<std::string>& path)
{
    Key* key = this;
    for (const std::string& name : path) {
        key = key->subKey(name);
        if (!key)
            return nullptr;
    }
    return key;
}

const Key* Key::find(const std::vector<std::string>& path) const
{
    return const_cast<Key*>(this)->find(path);
}

Key& Key::make(const std::vector<std::string>& path, bool& created)
{
    Key* key = this;
    for (const std::string& name : path)
        key = &key->makeSubKey(name, created);
    return *key;
}

const Value* Key::value(std::string_view name) const
{
    auto it = findNamed(m_values, name);
    return it == m_values.end() ? nullptr : &it->value;
}

void Key::setValue(std::string_view name, Value value)
{
    auto it = findNamed(m_values, name);
    if (it != m_values.end()) {
        it->value = std::move(value);
        return;
    }
    m_values.push_back(NamedValue{std::string(name), std::move(value)});
}

bool Key::removeValue(std::string_view name)
{
    auto it = findNamed(m_values, name);
    if (it == m_values.end())
        return false;
    m_values.erase(it);
    return true;
}

std::vector<std::string> Key::valueNames() const
{
    std::vector<std::string> names;
    names.reserve(m_values.size());
    for (const NamedValue& v : m_values)
        names.push_back(v.name);
    return names;
}

} // namespace lentaro::registry
