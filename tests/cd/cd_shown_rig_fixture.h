#pragma once

#include "tests/cd/cd_rig_fixture.h"
#include "tests/cd/scripted_cd_device.h"
#include "tests/platform/mci/wave_rig.h"

#include <QModelIndex>

#include <chrono>
#include <vector>

namespace lentaro::test {

// The real CD side over a shown rig of its controls, its disc identified and the tracks grid on
// its rows. The CD device plays on a null sound card whose clock only the test moves, and the
// rig's typing clock (the last click or key in the grid or comments) is the test's too.
class CdShownRigTest : public CdRigTest
{
protected:
    // Drives of those discs; D:'s disc shown.
    void showDiscs(const std::vector<cd::test::ImageSpec>& discs);
    // No drives; the CD control on a scripted device with tracks of those lengths, shown.
    ScriptedCdDevice& showScriptedDisc(const std::vector<int>& trackMs);

    // The user clicked the grid or typed a comment that long ago.
    void typedAgo(std::chrono::milliseconds ago);

    // The track of the grid's current row; 0 without one.
    int gridTrack();
    // The cell of that track's row and field.
    QModelIndex cellOf(int track, const char* field);
    void doubleClick(const QModelIndex& cell);
    void click(const QModelIndex& cell);

    // Runs one SQL statement on the program's database, then shows the disc's rows afresh.
    void changeRows(const QString& statement);
    // A field of the current disc's Tracks row of that track.
    QVariant storedTrackField(int track, const char* field);

    mci::test::WaveRig sound_;

private:
    void show();
};

} // namespace lentaro::test
