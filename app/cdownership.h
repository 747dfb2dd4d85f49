#pragma once

#include "platform/shell/service.h"

#include <optional>

namespace lentaro {

// Whether another program holds the CD drive, as the CD layer tells it.
class CdOwnershipQuery
{
public:
    virtual ~CdOwnershipQuery() = default;

    // True when another program holds the drive so that this one cannot use it; nothing when
    // there is no drive or no answer.
    virtual std::optional<bool> heldElsewhere() = 0;
};

// The CD layer's query once the program has put it in place; until then there is no answer.
extern Service<CdOwnershipQuery> cdOwnershipQuery;

// Tells the user, in a box, when another program holds the CD drive; shows nothing when the
// drive is free, missing or does not answer.
void checkForCDOwnership();

} // namespace lentaro
