#include "tests/program/cd_side_window_fixture.h"

#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "mainwindow/standinsides.h"
#include "platform/cd/Drive.h"
#include "platform/cd/ImageDrive.h"
#include "platform/mci/MMControl.h"
#include "program/cdsideofmain.h"
#include "tests/app/cd_drive_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>

namespace lentaro::test {

void CdSideWindowTest::TearDown()
{
    identification_.reset();
    CdDrivesTest::TearDown();
}

void CdSideWindowTest::useDiscs(const std::vector<cd::test::ImageSpec>& discs)
{
    makeDrives(discs);
    main_ = new frmMain([this](frmMain& main) {
        if (makeSides_)
            return makeSides_(main);
        MainWindowSides sides = standInSides(main);
        if (withCdSide_)
            sides.cd = makeProgramCdSide(main, nullptr);
        if (makeLoops_)
            sides.loops = makeLoops_(main);
        return sides;
    });
    // Start-up ends in a modal hint: only the tests that answer it let it run, else any event
    // loop inside the procedure under test would meet the hint and wait for a click forever.
    if (!runsStartUp_)
        main_->tmrAfterFormLoad->stop();
    if (!discs.empty())
        useDrive('D');
    main_->state().cdView = true;
}

void CdSideWindowTest::useDrive(char letter)
{
    openCdDrive(*main().CDControl, letter);
}

CdIdentification& CdSideWindowTest::identification()
{
    if (!identification_) {
        frmMain& m = main();
        identification_.emplace(
            CdDisplayControls{m.state(), m, *m.CDControl, *m.CDTitle, *m.Artist, *m.Comments,
                              *m.lblTrackComments, *m.tgTracks, *m.loopPoints, *m.pnlMsg,
                              *m.pnlTrackLength, *m.pnlCDlength, *m.txtCurrentPosition,
                              [&m] { return m.playing(); },
                              [this](int track) { switchedToTracks_.push_back(track); }, [] {}},
            reader());
        identification_->setClock([this] { return now_ += clockStep_; });
    }
    return *identification_;
}

QSqlDatabase CdSideWindowTest::db()
{
    return main().state().database();
}

Shown CdSideWindowTest::shown()
{
    frmMain& m = main();
    EXPECT_EQ(m.pnlTrackLength->isHidden(), m.pnlCDlength->isHidden());
    return {m.pnlMsg->text(), m.windowTitle(), m.CDTitle->text(), !m.pnlCDlength->isHidden()};
}

} // namespace lentaro::test
