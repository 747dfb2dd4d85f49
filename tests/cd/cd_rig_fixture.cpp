#include "tests/cd/cd_rig_fixture.h"

#include "cd/cdside.h"
#include "platform/mci/MMControl.h"
#include "platform/shell/programfolder.h"
#include "tests/app/cd_drive_fixture.h"

#include <QLabel>
#include <QLineEdit>

namespace lentaro::test {

void CdRigTest::TearDown()
{
    identification_.reset();
    // As the main window unloads.
    if (side_)
        side_->autoplay(true);
    side_.reset();
    faceInPlace_.reset();
    rig_.reset();
    CdDrivesTest::TearDown();
}

void CdRigTest::useDiscs(const std::vector<cd::test::ImageSpec>& discs)
{
    makeDrives(discs);
    rig_ = std::make_unique<CdSideRig>();
    faceInPlace_.emplace(mainWindowFace, *rig_);
    // As the main window loads: the side is made first, so that it sees the tables bound.
    if (withCdSide_) {
        side_ = std::make_unique<CdSideOfMain>(rig_->controls(), *rig_, *sideLoops_);
        rig_->useSide(*side_);
        side_->autoplay(false);
        side_->CDandRecordingSetup();
    }
    QString reason;
    ASSERT_TRUE(
        rig_->state().bindDatabase(programFolder() + QStringLiteral("/lentaro.mdb"), reason))
        << reason.toStdString();
    if (side_)
        side_->driveCount();
    if (!discs.empty())
        useDrive('D');
    rig_->state().cdView = true;
}

void CdRigTest::useDrive(char letter)
{
    openCdDrive(*rig().CDControl, letter);
}

CdIdentification& CdRigTest::identification()
{
    if (!identification_) {
        CdSideRig& r = rig();
        identification_.emplace(
            CdDisplayControls{r.state(), r, *r.CDControl, *r.CDTitle, *r.Artist, *r.Comments,
                              *r.lblTrackComments, *r.tgTracks, *r.loopPoints, *r.pnlMsg,
                              *r.pnlTrackLength, *r.pnlCDlength, *r.txtCurrentPosition,
                              [&r] { return r.playing(); },
                              [this](int track) { switchedToTracks_.push_back(track); }, [] {}},
            reader());
        identification_->setClock([this] { return now_ += clockStep_; });
    }
    return *identification_;
}

Shown CdRigTest::shown()
{
    CdSideRig& r = rig();
    EXPECT_EQ(r.pnlTrackLength->isHidden(), r.pnlCDlength->isHidden());
    return {r.pnlMsg->text(), r.windowTitle(), r.CDTitle->text(), !r.pnlCDlength->isHidden()};
}

} // namespace lentaro::test
