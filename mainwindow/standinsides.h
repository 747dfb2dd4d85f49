#pragma once

#include "mainwindow/sides.h"

namespace lentaro {

class frmMain;

// The sides until the real ones exist. They do nothing, except what start-up and the views
// cannot go without: stopDLL stops the pass timer and the runner, mnuChooseView_Click returns
// to the "CD" view with that layout, and CDandRecordingSetup reads the recording preferences
// as a computer without digital reading has them.
MainWindowSides standInSides(frmMain& main);

} // namespace lentaro
