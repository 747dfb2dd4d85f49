#include "platform/mci/DeviceTypes.h"

#include "platform/mci/CdAudioDevice.h"
#include "platform/mci/WaveAudioDevice.h"

namespace lentaro::mci {

std::unique_ptr<Device> makeDevice(const QString& type)
{
    if (type.compare(QLatin1String("WaveAudio"), Qt::CaseInsensitive) == 0)
        return std::make_unique<WaveAudioDevice>();
    if (type.compare(QLatin1String("CDAudio"), Qt::CaseInsensitive) == 0)
        return std::make_unique<CdAudioDevice>();
    return nullptr;
}

} // namespace lentaro::mci
