#include "tests/program/cd_window_fixture.h"

#include "mainwindow/gridediting.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/TransportBar.h"
#include "tests/platform/mci/control_fixture.h"
#include "tests/support/named_control.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

using namespace std::chrono_literals;

bool playingNow(mci::MMControl& cd)
{
    return cd.mode() == static_cast<int>(mci::Mode::Playing);
}

// The CD's transport through the main window's keys.
using CdTransportInMainWindow = CdWindowTest;

TEST_F(CdTransportInMainWindow, SpaceInTheGridPlaysAndStopsWithoutEditing)
{
    showDiscs({fourTrackDisc()});
    QTableView& grid = *control<QTableView>(main(), "tgTracks");
    grid.setCurrentIndex(cellOf(2, "TrackName"));
    for (const auto since : {30s, 2s}) {
        typedAgo(since);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Space);
        EXPECT_TRUE(playingNow(*control<mci::MMControl>(main(), "CDControl"))) << since.count();
        QTest::keyClick(&grid, Qt::Key_Space);
        EXPECT_FALSE(playingNow(*control<mci::MMControl>(main(), "CDControl"))) << since.count();
        EXPECT_FALSE(isEditing(grid)) << since.count();
    }
    EXPECT_EQ(storedTrackField(2, "TrackName").toString(), QStringLiteral("2"));
}

// "CD playing" only while the CD plays: a pause, a stop by its button or by Space (which ends the
// position reports with the play) and the end of the disc each leave the disc's own status.
TEST_F(CdTransportInMainWindow, TheStatusSaysCdPlayingOnlyWhileItPlays)
{
    showDiscs({fourTrackDisc()});
    mci::MMControl& cd = *control<mci::MMControl>(main(), "CDControl");
    const QString playingText = QStringLiteral("CD playing");
    const QString found = QStringLiteral("CD Found");
    const auto reported = [&] {
        QCoreApplication::processEvents();
        emit cd.statusUpdate();
        return control<QLabel>(main(), "pnlMsg")->text();
    };
    const auto pressButton = [&](mci::Button button) {
        QTest::mouseClick(cd.bar()->button(button), Qt::LeftButton);
    };

    doubleClick(cellOf(2, "TrackNum"));
    EXPECT_EQ(reported(), playingText);
    pressButton(mci::Button::Pause);
    EXPECT_EQ(reported(), found);
    pressButton(mci::Button::Pause);
    EXPECT_EQ(reported(), playingText);
    pressButton(mci::Button::Stop);
    EXPECT_EQ(reported(), found);

    QTableView& grid = *control<QTableView>(main(), "tgTracks");
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_EQ(reported(), playingText);
    QTest::keyClick(&grid, Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(control<QLabel>(main(), "pnlMsg")->text(), found);

    doubleClick(cellOf(4, "TrackNum"));
    EXPECT_EQ(reported(), playingText);
    ASSERT_TRUE(mci::test::eventually([&] {
        if (!playingNow(cd))
            return true;
        sound_.clock->advance(1s);
        return false;
    }));
    EXPECT_EQ(reported(), found);
}

} // namespace

} // namespace lentaro::test
