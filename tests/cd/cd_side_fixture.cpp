#include "tests/cd/cd_side_fixture.h"

#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "platform/cd/Drive.h"
#include "platform/cd/ImageDrive.h"
#include "platform/mci/MMControl.h"
#include "program/cdsideofmain.h"
#include "tests/app/cd_drive_fixture.h"
#include "tests/support/named_control.h"
#include "tests/support/stand_in_sides.h"

#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>

namespace lentaro::test {

namespace {

constexpr int framesPerSecond = 75;

} // namespace

cd::test::ImageSpec audioDisc(int seconds)
{
    cd::test::ImageSpec spec;
    spec.tracks.push_back({seconds * framesPerSecond, 0, false});
    return spec;
}

void PrintTo(const Shown& shown, std::ostream* out)
{
    *out << '"' << shown.pnlMsg.toStdString() << "\", caption \"" << shown.caption.toStdString()
         << "\", title \"" << shown.title.toStdString() << "\", panels "
         << (shown.panels ? "shown" : "hidden");
}

void CdSideTest::TearDown()
{
    identification_.reset();
    CdDrivesTest::TearDown();
}

void CdSideTest::useDiscs(const std::vector<cd::test::ImageSpec>& discs)
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

void CdSideTest::useDrive(char letter)
{
    openCdDrive(*control<mci::MMControl>(main(), "CDControl"), letter);
}

CdIdentification& CdSideTest::identification()
{
    if (!identification_) {
        frmMain& m = main();
        identification_.emplace(
            CdDisplayControls{
                m.state(), m, *control<mci::MMControl>(m, "CDControl"),
                *control<QLineEdit>(m, "CDTitle"), *control<QLineEdit>(m, "Artist"),
                *control<QLineEdit>(m, "Comments"), *control<QLabel>(m, "lblTrackComments"),
                *control<QTableView>(m, "tgTracks"), *control<QTableView>(m, "loopPoints"),
                *control<QLabel>(m, "pnlMsg"), *control<QLabel>(m, "pnlTrackLength"),
                *control<QLabel>(m, "pnlCDlength"), *control<QLineEdit>(m, "txtCurrentPosition"),
                [&m] { return m.playing(); },
                [this](int track) { switchedToTracks_.push_back(track); }, [] {}},
            reader());
        identification_->setClock([this] { return now_ += clockStep_; });
    }
    return *identification_;
}

QSqlDatabase CdSideTest::db()
{
    return main().state().database();
}

Shown CdSideTest::shown()
{
    frmMain& m = main();
    EXPECT_EQ(control<QLabel>(m, "pnlTrackLength")->isHidden(),
              control<QLabel>(m, "pnlCDlength")->isHidden());
    return {control<QLabel>(m, "pnlMsg")->text(), m.windowTitle(),
            control<QLineEdit>(m, "CDTitle")->text(),
            !control<QLabel>(m, "pnlCDlength")->isHidden()};
}

Shown CdSideTest::noDisc()
{
    return {QStringLiteral("No CD in drive"), QStringLiteral("Lentaro: No CD in drive"),
            QStringLiteral("No CD In Drive"), false};
}

Shown CdSideTest::noAudio()
{
    const QString text = QStringLiteral("CD-ROM (no audio tracks)");
    return {text, text, text, false};
}

} // namespace lentaro::test
