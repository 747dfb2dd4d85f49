#include "app/recordwhileplaying.h"

#include "platform/mci/MMControl.h"

namespace lentaro {

void recordWhilePlaying(mci::MMControl& device, mci::MMControl& recorder, int from, int to)
{
    device.setFrom(from);
    device.setTo(to);
    device.setNotify(false);
    device.setWait(false);
    device.setCommand(QStringLiteral("Play"));
    device.setWait(true);
    device.setCommand(QStringLiteral("Pause"));
    recorder.setWait(true);
    recorder.setNotify(false);
    recorder.setCommand(QStringLiteral("Cue"));
    recorder.setWait(false);
    recorder.setNotify(true);
    recorder.setCommand(QStringLiteral("Record"));
    device.setWait(false);
    device.setNotify(true);
    device.setFrom(from);
    device.setTo(to);
    device.setCommand(QStringLiteral("Play"));
}

} // namespace lentaro
