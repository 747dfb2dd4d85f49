#include "platform/registry/Settings.h"

#include "platform/registry/HiveStore.h"
#include "platform/registry/KeyPath.h"
#include "platform/registry/Registry.h"

namespace lentaro::registry {

namespace {

constexpr std::string_view settingsArea = "Software\\VB and VBA Program Settings";

// An application or section name with a backslash would reach another section: refused.
Result sectionPath(std::string_view app, std::string_view section, std::string& path)
{
    if (!isValidKeyName(app) || !isValidKeyName(section)) {
        return Result::failure(Status::InvalidName,
                               "Settings need an application and a section name, each 1 to 255 "
                               "bytes long without a backslash.");
    }
    path.assign(settingsArea).append("\\").append(app).append("\\").append(section);
    return {};
}

Result resolveSection(std::string_view app, std::string_view section, KeyPath& key)
{
    std::string path;
    Result result = sectionPath(app, section, path);
    if (!result.ok())
        return result;
    return resolveKeyPath(RootKey::CurrentUser, path, key);
}

Result refuseEmptyKey(std::string_view key)
{
    if (!key.empty())
        return {};
    return Result::failure(Status::InvalidName, "A setting needs a key name.");
}

} // namespace

std::string getSetting(std::string_view app, std::string_view section, std::string_view key,
                       std::string_view fallback)
{
    std::string text(fallback);
    KeyPath sectionKey;
    if (key.empty() || !resolveSection(app, section, sectionKey).ok())
        return text;
    readHive(sectionKey.hive, [&](const Key& hiveRoot) {
        const Key* found = hiveRoot.find(sectionKey.names);
        const Value* value = found ? found->value(key) : nullptr;
        if (value && value->text())
            text = *value->text();
        return Result{};
    });
    return text;
}

Result saveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view text)
{
    KeyPath sectionKey;
    Result result = resolveSection(app, section, sectionKey);
    if (result.ok())
        result = refuseEmptyKey(key);
    if (!result.ok())
        return result;
    return changeHive(sectionKey.hive, [&](Key& hiveRoot, bool& changed) {
        hiveRoot.make(sectionKey.names, changed).setValue(key, Value::string(text));
        changed = true;
        return Result{};
    });
}

Result deleteSetting(std::string_view app, std::string_view section, std::string_view key)
{
    std::string path;
    Result result = sectionPath(app, section, path);
    if (result.ok())
        result = refuseEmptyKey(key);
    if (!result.ok())
        return result;
    return deleteValue(RootKey::CurrentUser, path, key);
}

Result deleteSetting(std::string_view app, std::string_view section)
{
    std::string path;
    Result result = sectionPath(app, section, path);
    if (!result.ok())
        return result;
    return deleteKey(RootKey::CurrentUser, path);
}

std::vector<std::pair<std::string, std::string>> getAllSettings(std::string_view app,
                                                                std::string_view section)
{
    std::vector<std::pair<std::string, std::string>> settings;
    KeyPath sectionKey;
    if (!resolveSection(app, section, sectionKey).ok())
        return settings;
    readHive(sectionKey.hive, [&](const Key& hiveRoot) {
        if (const Key* found = hiveRoot.find(sectionKey.names)) {
            for (const NamedValue& v : found->values()) {
                if (std::optional<std::string> text = v.value.text())
                    settings.emplace_back(v.name, *text);
            }
        }
        return Result{};
    });
    return settings;
}

} // namespace lentaro::registry
