#pragma once

#include "platform/shell/service.h"

#include <cstdint>

namespace lentaro {

// Makes the CD the recording mixer's capture source before an analog recording of a CD loop.
class CdInputSelector
{
public:
    virtual ~CdInputSelector() = default;

    // 0 when the selection was written, else the mixer's code (cdinput/dunmarra.h).
    virtual std::int32_t SelectCDInput() = 0;
};

// The selector library (libdunmarra) unless replaced.
extern Service<CdInputSelector> cdInputSelector;

} // namespace lentaro
