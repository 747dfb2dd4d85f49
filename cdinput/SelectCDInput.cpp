#include "cdinput/dunmarra.h"

#include "cdinput/AlsaMixer.h"
#include "cdinput/CDInputSelection.h"

#include <cerrno>
#include <new>

extern "C" int32_t SelectCDInput(void)
{
    // Nothing may escape into the C caller.
    try {
        kv::AlsaMixer mixer;
        return kv::selectCDInput(mixer);
    } catch (const std::bad_alloc &) {
        return -ENOMEM;
    } catch (...) {
        return DUNMARRA_FAILURE;
    }
}
