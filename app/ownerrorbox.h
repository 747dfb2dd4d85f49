#pragma once

#include "trace/runtimeerror.h"

namespace lentaro {

// The box of a procedure with an error handler of its own: "Error N occurred in procedure P",
// the error's description, and the request to e-mail it to support; OK only.
void showOwnErrorBox(const RuntimeError& error, const char* procedure);

} // namespace lentaro
