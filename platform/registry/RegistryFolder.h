#pragma once

#include <filesystem>

namespace lentaro::registry {

// The folder of the hive files, looked up at every call so that a changed environment
// takes effect: $LENTARO_REGISTRY_DIR when set, else $XDG_CONFIG_HOME/lentaro when that is
// an absolute path, else $HOME/.config/lentaro; empty when none of them is set.
std::filesystem::path registryFolder();

} // namespace lentaro::registry
