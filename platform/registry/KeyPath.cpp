#include "platform/registry/KeyPath.h"

#include "platform/registry/Key.h"

namespace lentaro::registry {

Result resolveKeyPath(RootKey root, std::string_view path, KeyPath& resolved)
{
    const std::optional<RootPlace> place = placeOf(root);
    if (!place) {
        return Result::failure(Status::UnknownRoot,
                               rootName(root) + " is not kept by this registry.");
    }
    resolved.hive = place->hive;
    resolved.names = place->path;
    resolved.rootDepth = place->path.size();
    resolved.text = rootName(root);

    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    if (path.empty())
        return {};
    resolved.text += '\\';
    resolved.text += path;
    for (;;) {
        const std::size_t end = path.find('\\');
        const std::string_view name = path.substr(0, end);
        if (!isValidKeyName(name)) {
            return Result::failure(
                Status::InvalidName,
                "\"" + resolved.text
                    + "\" is not a valid key path: key names "
                      "are 1 to 255 bytes long and the path has no empty names.");
        }
        resolved.names.emplace_back(name);
        if (end == std::string_view::npos)
            return {};
        path.remove_prefix(end + 1);
    }
}

Result keyNotFound(const KeyPath& key)
{
    return Result::failure(Status::KeyNotFound,
                           "The registry key " + key.text + " does not exist.");
}

Result valueNotFound(const KeyPath& key, std::string_view valueName)
{
    const std::string what = valueName.empty() ? std::string("default value")
                                               : "value \"" + std::string(valueName) + "\"";
    return Result::failure(Status::ValueNotFound,
                           "The registry key " + key.text + " has no " + what + ".");
}

} // namespace lentaro::registry
