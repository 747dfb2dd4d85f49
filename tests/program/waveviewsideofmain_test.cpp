#include "program/waveviewsideofmain.h"

#include "app/programstate.h"
#include "controls/wgrid2/wGrid2.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "tests/mainwindow/main_window_fixture.h"
#include "tests/support/named_control.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"
#include "waveview/wavechart.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace lentaro::test {

namespace {

// The main window, started, with the real waveform view beside recording loop and CD sides.
class WaveViewSideTest : public MainWindowTest
{
protected:
    MainWindowSides makeSides(frmMain& main) override
    {
        MainWindowSides sides = MainWindowTest::makeSides(main);
        sides.waveView = makeWaveViewSide(main);
        return sides;
    }

    frmMain& loadWithView()
    {
        frmMain& main = started();
        programState().gvGraphStep = 20;
        return main;
    }

    static frmScrollTime* view() { return forms::loadedFormOf<frmScrollTime>(); }
    QString tempWav() const { return path(QStringLiteral("temp.wav")); }
};

TEST_F(WaveViewSideTest, TheWaveViewButtonLoadsTheViewOnceAndShowsItAgain)
{
    frmMain& main = loadWithView();
    writeClickTrain(tempWav(), {44100, 2, 2, false}, 1.0, 20480);
    EXPECT_FALSE(main.waveView().isOpen());
    QTest::mouseClick(control<QPushButton>(main, "cmdGraphic"), Qt::LeftButton);
    ASSERT_TRUE(main.waveView().isOpen());
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), QString());
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), 100);
    const std::int64_t count = view()->chart().series().count();
    EXPECT_EQ(count, (88200 - 1) / 20);

    view()->close(); // the close box
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 3.0, 20480);
    QTest::mouseClick(control<QPushButton>(main, "cmdGraphic"), Qt::LeftButton);
    EXPECT_TRUE(view()->isVisible());
    EXPECT_EQ(control<QLabel>(main, "pnlMsg")->text(), QString())
        << "the wait is over once the view is back";
    EXPECT_EQ(view()->chart().series().count(), count);

    main.graphicEnableToggle(false);
    EXPECT_FALSE(view()->isEnabled());
    main.graphicEnableToggle(true);
    EXPECT_TRUE(view()->isEnabled());

    // Leaving "SlowPlay" unloads it; the next load reads temp.wav afresh.
    programState().gvSlowMode = false;
    main.auxiliaryFormAdjust();
    EXPECT_FALSE(main.waveView().isOpen());
    deleteUnloaded();
    QTest::mouseClick(control<QPushButton>(main, "cmdGraphic"), Qt::LeftButton);
    EXPECT_EQ(view()->chart().series().count(), (132300 - 1) / 20);
}

TEST_F(WaveViewSideTest, TheViewPlaysTheSelectionThroughTheMainWindow)
{
    frmMain& main = loadWithView();
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 1.0, 20480);
    main.state().setSlowDownPercent(100);
    main.cmdGraphic_Click();
    frmScrollTime& wave = *view();
    wave.selection.startMarker.setMsPosition(200);
    wave.selection.endMarker.setMsPosition(700);
    sides_.calls.clear();
    bool cancel = false;
    emit wave.MMControl1->playClick(cancel);
    EXPECT_EQ(main.state().currentMMControl()->from(), 200);
    EXPECT_EQ(main.state().currentMMControl()->to(), 700);
    EXPECT_EQ(sides_.calls, QStringList{QStringLiteral("btnLoopPlay_Click")});

    // The main window's position updates move the play line.
    main.waveView().showPlayPosition(450);
    EXPECT_TRUE(wave.playPosition.visible());
    EXPECT_NEAR(wave.playPosition.msPosition(), 450, 20 / 44.1);
    main.waveView().mnuRefresh_Click();
    EXPECT_FALSE(wave.playPosition.visible());
}

// The slowed timeline's length over temp.wav's, from the speed and temp.wav's channels: Select
// All with nothing in the wave control ends at the chart's end on that timeline.
TEST_F(WaveViewSideTest, TheExpansionFactorFollowsSpeedAndChannels)
{
    frmMain& main = loadWithView();
    struct Case {
        const char* name;
        int channels;
        int percent;
        double factor; // 0: none to be had
    };
    const Case cases[] = {
        {"stereo at 50 %", 2, 50, 1.0},
        {"mono at 75 %", 1, 75, 100.0 / 75},
        {"mono below the slowest speed", 1, 3, 20.0},
        {"no speed", 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeClickTrain(tempWav(), {44100, c.channels, 2, false}, 1.0, 20480);
        main.state().setSlowDownPercent(c.percent);
        // A speed set here, not through the speed controls: the view works the factor out.
        programState().gvExpansionFactor = 0;
        main.cmdGraphic_Click();
        frmScrollTime& wave = *view();
        wave.mnuSelectAll_Click();
        const double count = double(wave.chart().series().count());
        const double end = c.factor == 0 ? count : std::nearbyint(count * c.factor);
        EXPECT_EQ(wave.selection.endMarker.samplePosition(), end);
        if (c.factor == 0)
            EXPECT_EQ(wave.selection.endMarker.pixelPosition(), -1);
        else
            EXPECT_EQ(wave.selection.endMarker.pixelPosition(), wave.chart().chartRect().right());
        main.waveView().close();
        deleteUnloaded();
    }
}

// The grid of the current loop: the row whose start is prevStartTime, read at load and written
// at every show and at unload; the main window's keys reach the grid once.
TEST_F(WaveViewSideTest, TheGridIsKeptInTheCurrentLoopRow)
{
    frmMain& main = loadWithView();
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 1.0, 20480);
    QSqlQuery sql(main.state().database());
    ASSERT_TRUE(sql.exec(QStringLiteral("INSERT INTO LoopPoints (CDid, startTime, gridVisible) "
                                        "VALUES (1, 4000, -1), (1, 5000, NULL)")));
    main.state().dtaLoopPoints->select();
    main.state().prevStartTime = 5000;
    main.state().setSlowDownPercent(100);
    programState().gvSlowMode = true;
    const auto field = [&](const char* name) {
        QSqlQuery read(main.state().database());
        read.exec(QStringLiteral("SELECT %1 FROM LoopPoints WHERE startTime = 5000")
                      .arg(QLatin1String(name)));
        return read.next() ? read.value(0) : QVariant();
    };
    main.cmdGraphic_Click();
    frmScrollTime& wave = *view();
    EXPECT_TRUE(wave.wGrid21->isHidden());
    EXPECT_EQ(field("gridVisible"), QVariant(0));

    int key = Qt::Key_Right;
    main.Form_KeyDown(key, 2);
    EXPECT_EQ(wave.wGrid21->FirstLine(), 12);
    wave.mnuShowHide_Click();
    EXPECT_EQ(field("gridVisible"), QVariant(-1));

    main.waveView().close();
    EXPECT_EQ(field("lastGridStart"), QVariant(12));
    EXPECT_EQ(field("lastGridWidth"), QVariant(360));
    EXPECT_EQ(field("gridVisible"), QVariant(-1));

    // The next load puts the grid back and shows it.
    deleteUnloaded();
    main.cmdGraphic_Click();
    EXPECT_FALSE(view()->wGrid21->isHidden());
    EXPECT_EQ(view()->wGrid21->FirstLine(), 12);
    EXPECT_EQ(view()->wGrid21->BeatWidth(), 360);
}

} // namespace

} // namespace lentaro::test
