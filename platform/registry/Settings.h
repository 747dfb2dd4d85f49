#pragma once

#include "platform/registry/Result.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lentaro::registry {

// The forms runtime's per-user settings: text values named by application, section and key,
// kept as String values of the key
//   HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>
// Application and section are single key names (no backslash); names compare without regard
// to ASCII letter case.

// The stored text, or the fallback when the setting is missing or holds no text.
std::string getSetting(std::string_view app, std::string_view section, std::string_view key,
                       std::string_view fallback = {});

// Makes the section when missing.
Result saveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view text);

// Deletes one setting, or with no key the whole section.
Result deleteSetting(std::string_view app, std::string_view section, std::string_view key);
Result deleteSetting(std::string_view app, std::string_view section);

// The section's settings that hold text, as (key, text) in the order they were first saved;
// empty when the section is missing.
std::vector<std::pair<std::string, std::string>> getAllSettings(std::string_view app,
                                                                std::string_view section);

} // namespace lentaro::registry
