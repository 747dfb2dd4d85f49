#include "tests/program/cd_window_fixture.h"

#include "app/frmOptions.h"
#include "app/programstate.h"
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/TransportBar.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

constexpr int framesPerSecond = 75;

// A disc of two tracks of 7 s: none of the four-track disc's.
cd::test::ImageSpec twoTrackDisc()
{
    cd::test::ImageSpec spec;
    for (int track = 0; track < 2; ++track)
        spec.tracks.push_back({7 * framesPerSecond, 0, false});
    return spec;
}

// The disc the window shows follows the drive: the one chosen in Settings, the tray that Eject
// opens and closes, and what CD Requery finds.
class CdDriveChangeTest : public CdWindowTest
{
protected:
    int trackRows() { return main().state().dtaTracks->rowCount(); }
    QToolButton* button(mci::Button which)
    {
        return control<mci::MMControl>(main(), "CDControl")->bar()->button(which);
    }
    void clickEject() { QTest::mouseClick(button(mci::Button::Eject), Qt::LeftButton); }
};

TEST_F(CdDriveChangeTest, TheDriveChosenInSettingsShowsItsDiscAtOnce)
{
    showDiscs({fourTrackDisc(), twoTrackDisc()});
    const int first = main().state().currentCDid;
    ASSERT_EQ(trackRows(), 4);
    prompts_.queueInput(QStringLiteral("E"));
    prompts_.queueAnswer(forms::Answer::Yes); // "Can you hear the CD playing?"

    WhenModal settings([](QWidget& modal) {
        auto& dialog = dynamic_cast<frmOptions&>(modal);
        QTabBar& tabs = *dialog.tabOptions->tabBar();
        for (int tab = 0; tab < tabs.count(); ++tab) {
            if (tabs.tabText(tab) == QStringLiteral("CD"))
                QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(tab).center());
        }
        QTest::mouseClick(dialog.cmdChangeCD, Qt::LeftButton);
        dialog.close();
    });
    control<QAction>(main(), "mnuSettings")->trigger();
    ASSERT_TRUE(settings.acted());

    EXPECT_NE(main().state().currentCDid, first);
    EXPECT_EQ(trackRows(), 2);
    EXPECT_EQ(control<QLabel>(main(), "pnlCDlength")->text(), QStringLiteral("CD Length: 00:14"));
    // Its track 2 plays.
    doubleClick(cellOf(2, "TrackNum"));
    EXPECT_EQ(control<mci::MMControl>(main(), "CDControl")->mode(),
              static_cast<int>(mci::Mode::Playing));
    // The digital reader was set to the new drive too.
    EXPECT_EQ(shownMessages(),
              (QStringList{"Can you hear the CD playing?",
                           "Configuration succeeded! (Device number of active CD drive is 2)"}));
}

// With no disc the CD control keeps Eject: its second click closes the tray, and CD Requery
// (Ctrl+R) finds the disc again; by the CD device or by the digital reader.
TEST_F(CdDriveChangeTest, EjectClosesTheTrayItOpenedAndCdRequeryFindsTheDisc)
{
    for (const bool byReader : {false, true}) {
        SCOPED_TRACE(byReader ? "by the reader" : "by the CD device");
        showDiscs({fourTrackDisc()});
        programState().gvDigitalRecordingOK = byReader;
        const int CDid = main().state().currentCDid;

        clickEject();
        discChanges_.remove('D');

        EXPECT_EQ(control<QLabel>(main(), "pnlMsg")->text(), QStringLiteral("No CD in drive"));
        EXPECT_TRUE(drives_.drive('D')->trayOpen());
        EXPECT_TRUE(button(mci::Button::Eject)->isEnabled());
        for (const mci::Button other : {mci::Button::Play, mci::Button::Next, mci::Button::Prev})
            EXPECT_FALSE(button(other)->isEnabled());

        clickEject();
        EXPECT_FALSE(drives_.drive('D')->trayOpen());
        main().activateWindow();
        QApplication::setActiveWindow(&main());
        QTest::keyClick(&main(), Qt::Key_R, Qt::ControlModifier);

        EXPECT_EQ(control<QLabel>(main(), "pnlMsg")->text(), QStringLiteral("CD Found"));
        EXPECT_EQ(main().state().currentCDid, CDid);
        EXPECT_EQ(trackRows(), 4);
        EXPECT_TRUE(button(mci::Button::Play)->isEnabled());
        TearDown();
        SetUp();
    }
}

} // namespace

} // namespace lentaro::test
