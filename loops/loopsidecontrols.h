#pragma once

#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QSlider;
class QTableView;
class QTimer;
class QWidget;

namespace lentaro {

class MainState;
class TaggedTimer;

namespace forms {
struct FileDialogRequest;
}

namespace mci {
class MMControl;
}

// What the loop side drives of the main window, under the names the main window gives them.
struct LoopSideControls {
    MainState& state;
    QWidget& window; // where the trim window lies, and the loop maker's owner
    mci::MMControl& CDControl;
    mci::MMControl& WaveControl;
    mci::MMControl& slowControl;
    QTableView& tgTracks;
    QTableView& loopPoints;
    TaggedTimer& tmrLoopDLL;
    QTimer& tmrSliderFreedom;
    QLabel& lblCDTitle;
    QLineEdit& CDTitle;
    QLabel& lblArtist;
    QLineEdit& Artist;
    QLineEdit& Comments;
    std::array<QSlider*, 2>& slSlowPct;
    // Speed in percent, then the pitch as half steps and cents.
    std::array<QLineEdit*, 3>& txtSlowPct;
    QPushButton& lbl1005Speed;
    QPushButton& lbl1003Speed;
    QPushButton& lbl1002;
    QPushButton& lblOriginalSpeed;
    QPushButton& lblDoubleSpeed;
    // 0 the original pitch, 1 to 12 up, 13 to 24 down.
    std::array<QPushButton*, 25>& lblSteps;
    QScrollBar& sbTrackPos;
    QPushButton& cmdSlowPlay;
    QPushButton& btnLoopPlay;
    QPushButton& cmdStartNewLoop;
    QPushButton& cmdGraphic;
    QLabel& pnlMsg;
    QLabel& pnlLoopLength;
    QAction& mnuLoopHelp;
    forms::FileDialogRequest& dlgWave;
};

} // namespace lentaro
