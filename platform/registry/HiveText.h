#pragma once

#include "platform/registry/Key.h"

#include <string>
#include <string_view>

namespace lentaro::registry {

// The text form of a hive file, UTF-8 throughout:
//
//   lentaro-registry 1
//   value 1 "" "text of a value of the hive's root\x00"
//   key "Software"
//   key "Software" "Lentaro"
//   value 3 "AutoSlow" "True"
//   value 4 "Count" "\x2a\x00\x00\x00"
//   end 1c291ca3
//
// Every key has a line with the quoted names of its path; the values after it, each with
// its type number, quoted name and quoted bytes, belong to it (values before the first key
// line belong to the root). Keys come in order of their folded names, values in their own
// order. Quoted text keeps printable ASCII and, when the whole text is valid UTF-8, its other
// characters; every other byte, and '"' and '\', is written \xHH. The last line holds the
// CRC-32 of everything before it, so a cut or altered file is told apart from a whole one.
std::string formatHive(const Key& root);

// Fills an empty root from the text; false with the reason when the text is not a whole,
// well-formed hive.
bool parseHive(std::string_view text, Key& root, std::string& problem);

} // namespace lentaro::registry
