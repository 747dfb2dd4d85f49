#pragma once

#include "platform/registry/Result.h"

namespace lentaro {

// The settings calls of the program (preferences, keyvalues.h, CRegistry) hand every result of
// the settings store through one of these, which tells the user what they must know, each once
// a run, in a message box:
//   a damaged settings file (any call): where it was kept, or that it was left where it is,
//                                      and that the default settings are used;
//   a change that could not be saved:  that changes may be lost, and why.
// Missing keys and values, and names the store refuses, are the caller's business and are not
// shown. The result is handed back unchanged.
const registry::Result& reportedRead(const registry::Result& result);
const registry::Result& reportedSave(const registry::Result& result);

} // namespace lentaro
