#include "cdinput/dunmarra.h"

#include "cdinput/AlsaMixer.h"
#include "cdinput/CDInputSelection.h"
#include "soundfile/guarded_call.h"

#include <cerrno>

extern "C" int32_t SelectCDInput(void) {
  return kv::guardedCall(
      [] {
        kv::AlsaMixer mixer;
        return kv::selectCDInput(mixer);
      },
      -ENOMEM, DUNMARRA_FAILURE);
}
