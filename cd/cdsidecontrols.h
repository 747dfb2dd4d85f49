#pragma once

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QTableView;
class QWidget;

namespace lentaro {

class MainState;

namespace forms {
struct FileDialogRequest;
}
namespace mci {
class MMControl;
}

// What the CD side drives of the main window, under the names the main window gives them.
struct CdSideControls {
    MainState& state;
    // The window itself: its caption, whether it is usable or minimised, and what the side's own
    // controls and windows belong to.
    QWidget& window;
    mci::MMControl& CDControl;
    mci::MMControl& WaveControl;
    QTableView& tgTracks;
    QTableView& loopPoints;
    QLineEdit& CDTitle;
    QLineEdit& Artist;
    QLineEdit& Comments;
    QLabel& lblTrackComments;
    QLineEdit& txtCurrentPosition;
    QScrollBar& sbTrackPos;
    QPushButton& cmdStartNewLoop;
    QLabel& pnlMsg;
    QLabel& pnlCDlength;
    QLabel& pnlTrackLength;
    // The tracks grid's right-button menu and its items.
    QMenu& mnuTrackGridPopup;
    QAction& mnuOpenNotationFile;
    QAction& mnuChangeNotationFile;
    QAction& mnuDigitalRec;
    QAction& mnuViewHelpTracksGrid;
    // The dialog that finds a track's notation file, as the user last left it.
    forms::FileDialogRequest& cdNotationFile;
};

} // namespace lentaro
