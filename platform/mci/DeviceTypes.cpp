#include "platform/mci/DeviceTypes.h"

namespace lentaro::mci {

std::unique_ptr<Device> makeDevice(const QString&)
{
    return nullptr;
}

} // namespace lentaro::mci
