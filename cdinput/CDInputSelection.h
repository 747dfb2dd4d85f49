#pragma once

#include "cdinput/Mixer.h"

#include <cstdint>
#include <string_view>

namespace kv {

// True for the whole names "CD" and "CD Audio", compared without regard to ASCII letter case.
bool isCDSourceName(std::string_view name);

// Opens the mixer and selects its CD sources on the single-select list, or on the multi-select
// list when the mixer has no single-select list. Writes only when a CD source exists.
// Returns 0 when written, the mixer's code when it failed, or DUNMARRA_NO_SOURCE_LIST /
// DUNMARRA_NO_CD_SOURCE (cdinput/dunmarra.h).
int32_t selectCDInput(Mixer& mixer);

}  // namespace kv
