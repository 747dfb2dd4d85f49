#pragma once

namespace lentaro::mci {
class MMControl;
}

namespace lentaro {

// Records with `recorder` what `device` plays from `from` to `to` ms: the device waits at the
// in point while the recorder gets ready, so that both start together; the device's end is
// noticed, the recorder's too.
void recordWhilePlaying(mci::MMControl& device, mci::MMControl& recorder, int from, int to);

} // namespace lentaro
