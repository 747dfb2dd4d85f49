#include "program/firstdriveownership.h"

#include "platform/cd/DriveList.h"

namespace lentaro {

std::optional<bool> FirstDriveOwnership::heldElsewhere()
{
    cd::Drive* const drive = cd::cdDrives().drive(1);
    if (!drive)
        return std::nullopt;
    return drive->heldElsewhere();
}

} // namespace lentaro
