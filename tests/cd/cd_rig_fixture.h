#pragma once

#include "tests/cd/cd_drives_fixture.h"
#include "tests/cd/cd_shown.h"
#include "tests/cd/cd_side_rig.h"
#include "tests/cd/counting_loops.h"

#include "cd/cdidentification.h"
#include "cd/cdside.h"

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace lentaro::test {

// The drives and the CD side's controls on a rig of their own, over the program's database, the
// rig's CD control open on D: and the rig in place as the main window's face. With withCdSide_
// the real CD side is made over the rig and sideLoops_; identification() is the CD display over
// the rig on its own, with the switches to a track it asks for recorded and a clock that moves
// on by clockStep_ at each reading.
class CdRigTest : public CdDrivesTest
{
protected:
    void TearDown() override;

    // Makes the drives, one per image in order (D:, E:, ...); then the rig (and the side).
    void useDiscs(const std::vector<cd::test::ImageSpec>& discs);
    CdSideRig& rig() { return *rig_; }
    CdSideOfMain& side() { return *side_; }
    CdIdentification& identification();

    // Re-opens the CD control on the drive of that letter.
    void useDrive(char letter);

    QSqlDatabase db() override { return rig().state().database(); }

    Shown shown();
    static Shown noDisc() { return Shown::noDisc(); }
    static Shown noAudio() { return Shown::noAudio(); }

    bool withCdSide_ = false;
    CountingLoops countingLoops_;
    // The loop side the CD side calls; the counting one unless a test sets its own.
    CdSideLoops* sideLoops_ = &countingLoops_;
    std::vector<int> switchedToTracks_;
    std::chrono::milliseconds clockStep_{500};
    std::chrono::steady_clock::duration now_{};

private:
    std::unique_ptr<CdSideRig> rig_;
    std::optional<ScopedOverride<MainWindowFace>> faceInPlace_;
    std::unique_ptr<CdSideOfMain> side_;
    std::optional<CdIdentification> identification_;
};

} // namespace lentaro::test
