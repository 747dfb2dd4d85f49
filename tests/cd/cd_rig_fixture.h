#pragma once

#include "tests/cd/cd_drives_fixture.h"
#include "tests/cd/cd_side_rig.h"

#include "cd/cdidentification.h"

#include <memory>
#include <optional>

namespace lentaro::test {

// The drives and the CD side's controls on a rig of their own, over the program's database, the
// rig's CD control open on D: and the rig in place as the main window's face. identification()
// is the CD display over the rig.
class CdRigTest : public CdDrivesTest
{
protected:
    void TearDown() override;

    // Makes the drives, one per image in order (D:, E:, ...); then the rig.
    void useDiscs(const std::vector<cd::test::ImageSpec>& discs);
    CdSideRig& rig() { return *rig_; }
    CdIdentification& identification();

    QSqlDatabase db() override { return rig().state().database(); }

private:
    std::unique_ptr<CdSideRig> rig_;
    std::optional<ScopedOverride<MainWindowFace>> faceInPlace_;
    std::optional<CdIdentification> identification_;
};

} // namespace lentaro::test
