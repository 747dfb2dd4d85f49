#pragma once

#include "platform/cd/DriveList.h"
#include "platform/mci/DiscTimes.h"

#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/platform/mci/wave_rig.h"

#include <filesystem>
#include <optional>

namespace lentaro::mci::test {

// A disc of three tracks: 300 frames of audio from LSN 0; 150 frames of audio at LSN 375 behind
// a 75-frame pregap from LSN 300; 75 frames of data at LSN 525; the lead-out at LSN 600. Its
// samples carry their disc sample index.
cd::test::ImageSpec threeTrackDisc();

// The wave rig with a CD control beside the wave control, on a drive list whose one drive, D:,
// is an image of the disc given.
class CdRig : public WaveRig
{
public:
    explicit CdRig(const cd::test::ImageSpec& disc = threeTrackDisc());
    ~CdRig();

    void sendCd(const char* command) { cdControl.setCommand(QLatin1String(command)); }
    // Opens D: in the CD control.
    void openDisc();
    // The disc sample index of every stereo sample heard, silence as -1.
    std::vector<DiscSample> heardIndexes() const;

    std::filesystem::path cue;
    cd::DriveList drives;
    std::optional<ScopedOverride<cd::DriveList>> drivesInPlace;
    MMControl cdControl;
    DoneLog cdDones{cdControl};
};

} // namespace lentaro::mci::test
