#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lentaro::registry {

// The predefined root keys, numbered as their registry handles so that code holding a
// root as a number can pass it on unchanged.
enum class RootKey : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
    PerformanceData = 0x80000004u,
    CurrentConfig = 0x80000005u,
    DynData = 0x80000006u
};

// The stored hives: one file each.
enum class Hive { User, Machine };

// Where a root key lives: a hive and the path of keys inside it that stands for the root.
//   HKEY_CURRENT_USER   the user hive
//   HKEY_LOCAL_MACHINE  the machine hive
//   HKEY_CLASSES_ROOT   the machine hive's SOFTWARE\Classes (no per-user overlay)
//   HKEY_CURRENT_CONFIG the machine hive's SYSTEM\CurrentControlSet\Hardware Profiles\Current
// HKEY_USERS is not kept: a store serves one user, reached as HKEY_CURRENT_USER.
// HKEY_PERFORMANCE_DATA and HKEY_DYN_DATA are live system data, not stored settings.
struct RootPlace {
    Hive hive;
    std::vector<std::string> path;
};

std::optional<RootPlace> placeOf(RootKey root);

// "HKEY_CURRENT_USER" and so on, for messages.
std::string rootName(RootKey root);

// The hive's file name inside the registry folder.
const char* hiveFileName(Hive hive);

} // namespace lentaro::registry
