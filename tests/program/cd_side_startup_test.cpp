#include "tests/program/cd_side_window_fixture.h"

#include "app/frmHint.h"
#include "app/programstate.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

class CdSideStartupTest : public CdSideWindowTest
{
protected:
    // Lets the window's start-up run to its end, the tutorial hint answered.
    void startUp()
    {
        WhenModal hint([](QWidget& modal) { dynamic_cast<frmHint&>(modal).cmdOK->click(); });
        QDeadlineTimer deadline(20000);
        while (main().isHidden() || programState().gvStartingUp) {
            ASSERT_FALSE(deadline.hasExpired());
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
};

TEST_F(CdSideStartupTest, FirstStartWithOneDriveFindsTheDiscAndAsksNothing)
{
    programState().gvStartingUp = true;
    withCdSide_ = true;
    runsStartUp_ = true;
    useDiscs({fourTrackDisc()});
    startUp();

    EXPECT_TRUE(prompts_.messageBoxes().empty());
    EXPECT_TRUE(prompts_.inputBoxes().empty());
    EXPECT_TRUE(programState().gvDigitalRecordingOK);
    EXPECT_EQ(storedPreference("digCDNum")->bytes().substr(0, 1), "1");
    EXPECT_EQ(control<mci::MMControl>(main(), "CDControl")->fileName(), QStringLiteral("D:"));
    EXPECT_EQ(control<QLabel>(main(), "pnlMsg")->text(), QStringLiteral("CD Found"));
    EXPECT_EQ(main().windowTitle(), QStringLiteral("Lentaro - CD Title"));
    EXPECT_EQ(count("CDs"), 2);
    EXPECT_EQ(count("Tracks"), 4);
}

} // namespace

} // namespace lentaro::test
