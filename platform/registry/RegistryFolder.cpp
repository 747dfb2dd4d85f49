#include "platform/registry/RegistryFolder.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace lentaro::registry {

namespace {

const char* nonEmptyVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

} // namespace

fs::path registryFolder()
{
    if (const char* folder = nonEmptyVariable("LENTARO_REGISTRY_DIR"))
        return fs::path(folder);
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG base directory rules say.
    if (const char* config = nonEmptyVariable("XDG_CONFIG_HOME"); config && config[0] == '/') {
        return fs::path(config) / "lentaro";
    }
    if (const char* home = nonEmptyVariable("HOME"))
        return fs::path(home) / ".config" / "lentaro";
    return {};
}

} // namespace lentaro::registry
