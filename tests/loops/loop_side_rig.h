#pragma once

#include "app/mainwindowface.h"
#include "app/passend.h"
#include "loops/loopsidecontrols.h"
#include "loops/loopsidehost.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/prompts.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class QMenu;

namespace lentaro {
class LoopSideOfMain;
}

namespace lentaro::test {

// The controls the loop side drives, on a window of their own under the main window's names
// and set up as the main window sets them up, and the main window's procedures as the side
// depends on them: a view switch sets the view's variables and device as the main window's does
// (stopping the pass when it leaves "SlowPlay", showing the grid's layout when it enters "CD"),
// playing() asks the current device, ms() and tmsf() set its time format, the waveform view's
// answers are kept, and the track information shows and hides as the main window's does. The
// test puts it in place as the main window's face and as the receiver of ended passes, which it
// hands to the side and its pass timer as the main window does.
class LoopSideRig : public QWidget, public MainWindowFace, public PassEndReceiver
{
public:
    LoopSideRig();

    MainState& state() { return state_; }
    LoopSideControls controls();
    // The host the side calls: this rig's procedures below.
    std::unique_ptr<LoopSideHost> host();
    // The side made over controls() and host(), for the calls the main window makes on it.
    void useSide(LoopSideOfMain& side);

    // The host's procedures.
    void changeToMode(const QString& theMode, bool suppressRefresh = false);
    bool playing();
    void ms();
    void tmsf();
    void graphicEnableToggle(bool newEnableState);
    // The slowed file kept under a name is the one call; the program's tests read the menu.
    void addToMRUs(const QString&) {}
    void showLoopPlaying();
    // Throws as the waveform view's own question does when waveViewOpenFails.
    bool isWaveViewOpen();

    // MainWindowFace.
    void setEnabled(bool enabled) override { QWidget::setEnabled(enabled); }
    void setTrackInfoVisible(TrackInfo control, bool visible) override;
    void comeForward() override {}

    // PassEndReceiver: the main window's playFileDoneCallBack.
    void passEnded(std::int32_t result) override;

    mci::MMControl* CDControl;
    mci::MMControl* WaveControl;
    mci::MMControl* slowControl;
    QTableView* tgTracks;
    QTableView* loopPoints;
    TaggedTimer* tmrLoopDLL;
    QTimer* tmrSliderFreedom;
    QLabel* lblCDTitle;
    QLineEdit* CDTitle;
    QLabel* lblArtist;
    QLineEdit* Artist;
    QLineEdit* Comments;
    // The track information beside the controls, which the trim window covers.
    QLabel* lblTracks;
    QLabel* lblTrackComments;
    std::array<QSlider*, 2> slSlowPct{};
    std::array<QLineEdit*, 3> txtSlowPct{};
    QPushButton* lbl1005Speed;
    QPushButton* lbl1003Speed;
    QPushButton* lbl1002;
    QPushButton* lblOriginalSpeed;
    QPushButton* lblDoubleSpeed;
    std::array<QPushButton*, 25> lblSteps{};
    QScrollBar* sbTrackPos;
    QPushButton* cmdSlowPlay;
    QPushButton* btnLoopPlay;
    QPushButton* cmdStartNewLoop;
    QPushButton* cmdGraphic;
    QLabel* pnlMsg;
    QLabel* pnlLoopLength;
    QMenu* mnuLoopPopup;
    QAction* mnuLoopHelp;
    forms::FileDialogRequest dlgWave;

    bool waveViewOpen = false;
    bool waveViewOpenFails = false;

private:
    MainState state_;
    LoopSideOfMain* side_ = nullptr;
};

} // namespace lentaro::test
