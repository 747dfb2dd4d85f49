#pragma once

#include "app/cdownership.h"

namespace lentaro {

// Answers whether another program holds the CD audio device, which is the first CD drive.
class FirstDriveOwnership : public CdOwnershipQuery
{
public:
    std::optional<bool> heldElsewhere() override;
};

} // namespace lentaro
