#pragma once

#include "platform/mci/Device.h"

#include <QString>

#include <memory>

namespace lentaro::mci {

// A device of the type a DeviceType names ("WaveAudio", "CDAudio"; any letter case); null for
// any other name.
std::unique_ptr<Device> makeDevice(const QString& type);

} // namespace lentaro::mci
