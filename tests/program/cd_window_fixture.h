#pragma once

#include "tests/platform/mci/wave_rig.h"
#include "tests/program/cd_side_window_fixture.h"

#include <QModelIndex>

#include <chrono>
#include <vector>

namespace lentaro::test {

// A shown main window with the program's CD side, its disc identified and the tracks grid on
// its rows. The CD device plays on a null sound card whose clock only the test moves, and the
// window's own clock (the last click or key in the grid or comments) is the test's too.
class CdWindowTest : public CdSideWindowTest
{
protected:
    // Drives of those discs; D:'s disc shown.
    void showDiscs(const std::vector<cd::test::ImageSpec>& discs);

    // The user clicked the grid or typed a comment that long ago.
    void typedAgo(std::chrono::milliseconds ago);

    // The cell of that track's row and field.
    QModelIndex cellOf(int track, const char* field);
    void doubleClick(const QModelIndex& cell);
    void click(const QModelIndex& cell);

    // Runs one SQL statement on the program's database, then shows the disc's rows afresh.
    void changeRows(const QString& statement);
    // A field of the current disc's Tracks row of that track.
    QVariant storedTrackField(int track, const char* field);

    mci::test::WaveRig sound_;
    std::chrono::steady_clock::duration windowNow_ = std::chrono::hours(1);

private:
    void show();
};

} // namespace lentaro::test
