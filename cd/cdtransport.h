#pragma once

#include "cd/cdsidecontrols.h"
#include "cd/datatracks.h"
#include "cd/trackrowstore.h"

#include <QString>

#include <functional>

namespace lentaro {

namespace cd {
class DigitalReader;
}

class CdSideHost;
class CdSideLoops;

// The CD side's transport and tracks grid: the handlers of the CD control's buttons and
// notifications, the tracks grid over the disc's Tracks rows with its data control, and the
// procedures that pick, show and play the current track. Lengths and positions are read in a
// time format set on the CD control itself, whichever view is current.
class CdTransport
{
public:
    // trackRowShown: called whenever the tracks' data control stands on another row or holds
    // other rows. showDiscStatus: the status bar says what disc is in, as once the CD stops.
    CdTransport(const CdSideControls& controls, CdSideHost& host, CdSideLoops& loops,
                cd::DigitalReader& ACD1, std::function<void()> trackRowShown,
                std::function<void()> showDiscStatus);

    // The track procedures.
    int trackLengthMs(int trk);
    QString trackLengthMMSS(int trk);
    bool trackHighlighting();
    void highlightTrackInGrid(int n);
    void switchToTrack(int x);
    void playFromTrack(int x);
    void doNextPrev(const QString& np);
    void updateCDStatus();

    // The CD control's events; a button handler that sets Cancel keeps the button's own command
    // from running.
    void CDcontrol_Done(int NotifyCode);
    void CDControl_EjectClick(bool& Cancel);
    void CDControl_GotFocus();
    void CDControl_NextClick(bool& Cancel);
    void CDControl_PauseClick(bool& Cancel);
    void CDControl_PlayClick(bool& Cancel);
    void CDControl_PrevClick(bool& Cancel);
    void CDControl_StatusUpdate();
    void CDControl_StopClick(bool& Cancel);

    // The tracks grid and its data control.
    void tgTracks_Click();
    void tgTracks_DblClick(int row);
    void tgTracks_RowColChange();
    void dtaTracks_Reposition();

    // The drive's tray, by the digital reader.
    void trayOpen();
    void trayClose();

private:
    // The grid over the data control once the database is bound: its columns, its events.
    void showTracksGrid();
    void showTrackColumns();
    // Makes the row of track n the grid's current and only selected row and n the current
    // track, as the program's move rather than the user's; false when no row has that track
    // (the selection is cleared then).
    bool moveGridToTrack(int n);
    // The first column of the grid's row, the track number; "" without one.
    QString trackNumberAt(int row) const;
    // The grid's current row; -1 without one.
    int currentRow() const;
    // A play that ended, stopped or paused no longer says the CD plays.
    void showPlayEnded();

    CdSideControls c_;
    CdSideHost& host_;
    CdSideLoops& loops_;
    cd::DigitalReader& ACD1_;
    std::function<void()> trackRowShown_;
    std::function<void()> showDiscStatus_;
    DataTrackMarks* marks_ = nullptr; // the grid's
    TrackRowStore store_;
    // Whether the last Eject click opened the tray.
    bool trayOpened_ = false;
    // While the program moves the grid to a track, the move is no choice of the user's.
    bool movingGrid_ = false;
};

} // namespace lentaro
