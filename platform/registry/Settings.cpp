#include "platform/registry/Settings.h"

#include "platform/registry/HiveStore.h"
#include "platform/registry/KeyPath.h"

namespace lentaro::registry {

namespace {

constexpr std::string_view settingsArea = "Software\\VB and VBA Program Settings";

// An application or section name with a backslash would reach another section: refused.
Result resolveSection(std::string_view app, std::string_view section, KeyPath &key)
{
    if (!isValidKeyName(app) || !isValidKeyName(section)) {
        return Result::failure(Status::InvalidName,
                               "Settings need an application and a section name, each 1 to 255 "
                               "bytes long without a backslash.");
    }
    std::string path(settingsArea);
    path.append("\\").append(app).append("\\").append(section);
    return resolveKeyPath(RootKey::CurrentUser, path, key);
}

Result refuseEmptyKey(std::string_view key)
{
    if (!key.empty()) return {};
    return Result::failure(Status::InvalidName, "A setting needs a key name.");
}

} // namespace

std::string getSetting(std::string_view app, std::string_view section, std::string_view key,
                       std::string_view fallback)
{
    std::string text(fallback);
    KeyPath sectionKey;
    if (key.empty() || !resolveSection(app, section, sectionKey).ok()) return text;
    readHive(sectionKey.hive, [&](const Key &hiveRoot) {
        const Key *found = hiveRoot.find(sectionKey.names);
        const Value *value = found ? found->value(key) : nullptr;
        if (value && value->text()) text = *value->text();
        return Result{};
    });
    return text;
}

Result saveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view text)
{
    KeyPath sectionKey;
    Result result = resolveSection(app, section, sectionKey);
    if (result.ok()) result = refuseEmptyKey(key);
    if (!result.ok()) return result;
    return changeHive(sectionKey.hive, [&](Key &hiveRoot, bool &changed) {
        hiveRoot.make(sectionKey.names, changed).setValue(key, Value::string(text));
        changed = true;
        return Result{};
    });
}

Result deleteSetting(std::string_view app, std::string_view section, std::string_view key)
{
    KeyPath sectionKey;
    Result result = resolveSection(app, section, sectionKey);
    if (result.ok()) result = refuseEmptyKey(key);
    if (!result.ok()) return result;
    return changeHive(sectionKey.hive, [&](Key &hiveRoot, bool &changed) {
        Key *found = hiveRoot.find(sectionKey.names);
        if (!found) return keyNotFound(sectionKey);
        if (!found->removeValue(key)) return valueNotFound(sectionKey, key);
        changed = true;
        return Result{};
    });
}

Result deleteSetting(std::string_view app, std::string_view section)
{
    KeyPath sectionKey;
    Result result = resolveSection(app, section, sectionKey);
    if (!result.ok()) return result;
    return changeHive(sectionKey.hive, [&](Key &hiveRoot, bool &changed) {
        Key *appKey = hiveRoot.find({sectionKey.names.begin(), sectionKey.names.end() - 1});
        if (!appKey || !appKey->removeSubKey(sectionKey.names.back()))
            return keyNotFound(sectionKey);
        changed = true;
        return Result{};
    });
}

std::vector<std::pair<std::string, std::string>> getAllSettings(std::string_view app,
                                                                std::string_view section)
{
    std::vector<std::pair<std::string, std::string>> settings;
    KeyPath sectionKey;
    if (!resolveSection(app, section, sectionKey).ok()) return settings;
    readHive(sectionKey.hive, [&](const Key &hiveRoot) {
        if (const Key *found = hiveRoot.find(sectionKey.names)) {
            for (const NamedValue &v : found->values()) {
                if (std::optional<std::string> text = v.value.text())
                    settings.emplace_back(v.name, *text);
            }
        }
        return Result{};
    });
    return settings;
}

} // namespace lentaro::registry
