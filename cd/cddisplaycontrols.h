#pragma once

#include <functional>

class QLabel;
class QLineEdit;
class QTableView;
class QWidget;

namespace lentaro {

class MainState;

namespace mci {
class MMControl;
}

// What the CD display drives of the main window, under the names the main window gives them,
// and the two things it asks of the window's other parts.
struct CdDisplayControls {
    MainState& state;
    QWidget& window; // its caption
    mci::MMControl& CDControl;
    QLineEdit& CDTitle;
    QLineEdit& Artist;
    QLineEdit& Comments;
    QLabel& lblTrackComments;
    QTableView& tgTracks;
    QTableView& loopPoints;
    QLabel& pnlMsg;
    QLabel& pnlTrackLength;
    QLabel& pnlCDlength;
    QLineEdit& txtCurrentPosition;
    // Whether the current view's device plays.
    std::function<bool()> playing;
    // Makes the track the current one in the tracks grid.
    std::function<void(int)> switchToTrack;
    // Stores what the user typed into the disc's fields and grids and has not left yet.
    std::function<void()> keepTyped;
};

} // namespace lentaro
