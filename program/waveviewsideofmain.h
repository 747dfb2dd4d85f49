#pragma once

#include "mainwindow/sides.h"

#include <memory>

namespace lentaro {

class frmMain;

// The waveform view as the main window calls it, reaching that window for what the view uses
// of it. While the side lives it is also the frame's waveformViewFace.
std::unique_ptr<WaveViewSide> makeWaveViewSide(frmMain& main);

} // namespace lentaro
