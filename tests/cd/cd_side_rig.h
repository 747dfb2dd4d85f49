#pragma once

#include "app/mainwindowface.h"
#include "cd/cdsidecontrols.h"
#include "cd/cdsidehost.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/prompts.h"

#include <QStringList>
#include <QWidget>

#include <chrono>

namespace lentaro {
class CdSide;
}

namespace lentaro::test {

// The controls the CD side drives, on a window of their own under the main window's names and
// set up as the main window sets them up, and the main window's procedures as the side depends
// on them: a view switch stops and suspends the devices, sets the view's variables and device
// and shows the disc as the main window's does; playing() asks the current device; tmsf() sets
// its time format; updatePosition() shows its position through the side's own conversion;
// playWaveFile() opens the file in the wave device and shows its length; the typing stamp reads
// the test's clock (now); the recent files are kept. The test puts it in place as the main
// window's face, so that the progress window disables it.
class CdSideRig : public QWidget, public CdSideHost, public MainWindowFace
{
public:
    CdSideRig();

    MainState& state() { return state_; }
    CdSideControls controls();
    // The side made over controls() and this host, for the calls the main window makes on it.
    void useSide(CdSide& side) { side_ = &side; }

    // CdSideHost.
    void changeToMode(const QString& theMode, bool suppressRefresh) override;
    bool playing() override;
    void updatePosition() override;
    void tmsf() override;
    void stampTyping() override { lastTyping_ = now; }
    std::chrono::steady_clock::duration sinceTyping() const override { return now - lastTyping_; }
    void addToMRUs(const QString& fn) override;
    bool playWaveFile(const QString& fn) override;

    // MainWindowFace.
    void setEnabled(bool enabled) override { QWidget::setEnabled(enabled); }
    void setTrackInfoVisible(TrackInfo, bool) override {}
    void comeForward() override {}

    mci::MMControl* CDControl;
    mci::MMControl* WaveControl;
    QTableView* tgTracks;
    QTableView* loopPoints;
    QLineEdit* CDTitle;
    QLineEdit* Artist;
    QLineEdit* Comments;
    QLabel* lblTrackComments;
    QLineEdit* txtCurrentPosition;
    QScrollBar* sbTrackPos;
    QPushButton* cmdStartNewLoop;
    QLabel* pnlMsg;
    QLabel* pnlCDlength;
    QLabel* pnlTrackLength;
    QMenu* mnuTrackGridPopup;
    QAction* mnuMakeLoop;
    QAction* mnuOpenNotationFile;
    QAction* mnuChangeNotationFile;
    QAction* mnuDigitalRec;
    QAction* mnuViewHelpTracksGrid;
    forms::FileDialogRequest cdNotationFile;

    // The recent files, the most recent first, each once.
    QStringList recentFiles;
    std::chrono::steady_clock::duration now = std::chrono::hours(1);

private:
    MainState state_;
    CdSide* side_ = nullptr;
    std::chrono::steady_clock::duration lastTyping_{};
};

} // namespace lentaro::test
