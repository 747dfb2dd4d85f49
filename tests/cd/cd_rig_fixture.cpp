#include "tests/cd/cd_rig_fixture.h"

#include "platform/mci/MMControl.h"
#include "platform/shell/programfolder.h"
#include "tests/app/cd_drive_fixture.h"

namespace lentaro::test {

void CdRigTest::TearDown()
{
    identification_.reset();
    faceInPlace_.reset();
    rig_.reset();
    CdDrivesTest::TearDown();
}

void CdRigTest::useDiscs(const std::vector<cd::test::ImageSpec>& discs)
{
    makeDrives(discs);
    rig_ = std::make_unique<CdSideRig>();
    faceInPlace_.emplace(mainWindowFace, *rig_);
    QString reason;
    ASSERT_TRUE(
        rig_->state().bindDatabase(programFolder() + QStringLiteral("/lentaro.mdb"), reason))
        << reason.toStdString();
    if (!discs.empty())
        openCdDrive(*rig_->CDControl, 'D');
}

CdIdentification& CdRigTest::identification()
{
    if (!identification_) {
        CdSideRig& r = rig();
        identification_.emplace(CdDisplayControls{r.state(), r, *r.CDControl, *r.CDTitle, *r.Artist,
                                                  *r.Comments, *r.lblTrackComments, *r.tgTracks,
                                                  *r.loopPoints, *r.pnlMsg, *r.pnlTrackLength,
                                                  *r.pnlCDlength, *r.txtCurrentPosition,
                                                  [&r] { return r.playing(); }, [](int) {}, [] {}},
                                reader());
    }
    return *identification_;
}

} // namespace lentaro::test
