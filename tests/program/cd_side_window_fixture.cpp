#include "tests/program/cd_side_window_fixture.h"

#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "platform/cd/Drive.h"
#include "platform/cd/ImageDrive.h"
#include "platform/mci/MMControl.h"
#include "program/cdsideofmain.h"
#include "tests/app/cd_drive_fixture.h"
#include "tests/support/named_control.h"
#include "tests/support/stand_in_sides.h"

namespace lentaro::test {

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
        control<QTimer>(*main_, "tmrAfterFormLoad")->stop();
    if (!discs.empty())
        useDrive('D');
    main_->state().cdView = true;
}

void CdSideWindowTest::useDrive(char letter)
{
    openCdDrive(*control<mci::MMControl>(main(), "CDControl"), letter);
}

QSqlDatabase CdSideWindowTest::db()
{
    return main().state().database();
}

} // namespace lentaro::test
