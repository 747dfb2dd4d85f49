#include "platform/registry/RootKey.h"

#include <cstdio>

namespace lentaro::registry {

std::optional<RootPlace> placeOf(RootKey root)
{
    switch (root) {
    case RootKey::CurrentUser:
        return RootPlace{Hive::User, {}};
    case RootKey::LocalMachine:
        return RootPlace{Hive::Machine, {}};
    case RootKey::ClassesRoot:
        return RootPlace{Hive::Machine, {"SOFTWARE", "Classes"}};
    case RootKey::CurrentConfig:
        return RootPlace{Hive::Machine,
                         {"SYSTEM", "CurrentControlSet", "Hardware Profiles", "Current"}};
    case RootKey::Users:
    case RootKey::PerformanceData:
    case RootKey::DynData:
        break;
    }
    return std::nullopt;
}

std::string rootName(RootKey root)
{
    switch (root) {
    case RootKey::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case RootKey::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RootKey::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RootKey::Users:
        return "HKEY_USERS";
    case RootKey::PerformanceData:
        return "HKEY_PERFORMANCE_DATA";
    case RootKey::CurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    case RootKey::DynData:
        return "HKEY_DYN_DATA";
    }
    char text[32];
    std::snprintf(text, sizeof text, "root key 0x%08X", unsigned(root));
    return text;
}

const char* hiveFileName(Hive hive)
{
    return hive == Hive::User ? "user.hive" : "machine.hive";
}

} // namespace lentaro::registry
