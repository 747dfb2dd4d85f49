#pragma once

class QLabel;

namespace lentaro {

class MainState;

namespace mci {
class MMControl;
}

// What the waveform view's side reaches of the main window, under the names the main window
// gives them: the wave device whose file the view shows, and the status panel it writes to.
struct WaveViewSideControls {
    MainState& state;
    mci::MMControl& WaveControl;
    QLabel& pnlMsg;
};

} // namespace lentaro
