#include "controls/wgrid2/wGrid2.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"
#include "waveview/gridtempo.h"
#include "waveview/wavechart.h"

#include <QAction>
#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace lentaro::test {

namespace {

constexpr int amplitude = 20480;
constexpr int beatMs = 500; // 120 beats per minute

class RhythmGridViewTest : public WaveViewTest
{
protected:
    // A click every 500 ms for 5 s, mono 44.1 kHz, the view at that size.
    frmScrollTime& loadClicks(QSize size = QSize(800, 400))
    {
        writeClickTrain(tempWav(), {44100, 1, 2, false}, 5.0, amplitude, beatMs);
        return load(size);
    }

    static void select(frmScrollTime& view, int startPixel, int endPixel)
    {
        view.selection.startMarker.setPixelPosition(startPixel);
        view.selection.endMarker.setPixelPosition(endPixel);
        ASSERT_EQ(view.selection.startMarker.pixelPosition(), startPixel);
        ASSERT_EQ(view.selection.endMarker.pixelPosition(), endPixel);
    }

    void align(frmScrollTime& view, const QString& answer)
    {
        prompts_.queueInput(answer);
        view.mnuAlignGridToSelection_Click();
    }

    // Calls check(line index, its pixel, unrounded) for every beat line inside the plot.
    template <typename Check>
    static void forLinesInPlot(frmScrollTime& view, Check check)
    {
        const QRect plot = view.chart().chartRect();
        int checked = 0;
        for (int i = 0; i < wGrid2::beatLines; ++i) {
            const double pixel = view.wGrid21->mjrLine(i).left / double(tppx);
            if (pixel < plot.left() || pixel > plot.right())
                continue;
            check(i, pixel);
            ++checked;
        }
        EXPECT_GE(checked, 2);
    }

    // Every beat line inside the plot stands on the column of a click. Aligning from the
    // markers' whole pixels and a beat of whole twips leaves the far lines up to a pixel and a
    // half off.
    static void expectLinesOnClicks(frmScrollTime& view)
    {
        const ChartMap map = view.chartMap();
        forLinesInPlot(view, [&](int i, double pixel) {
            const double click = std::round(map.msOf(pixel) / beatMs) * beatMs;
            EXPECT_NEAR(pixel, map.pixelOf(click), 1.5) << "line " << i;
        });
    }

    // Every beat line inside the plot stands on the column of its time: within a pixel, what a
    // beat of whole twips gathers over 30 beats.
    static void expectLinesAt(frmScrollTime& view, double startMs, double widthMs)
    {
        const ChartMap map = view.chartMap();
        forLinesInPlot(view, [&](int i, double pixel) {
            EXPECT_NEAR(pixel, map.pixelOf(startMs + i * widthMs), 1.0) << "line " << i;
        });
    }
};

TEST_F(RhythmGridViewTest, AlignFitsTheSelectionAndMovesBackByWholeMeasures)
{
    host_.row = LoopGridFields{0, 0, false};
    frmScrollTime& view = loadClicks();
    struct Case {
        const char* answer;
        int beatsPerMeasure;
        int beatWidth;
        int firstLine;
    };
    // The selection's ends are chart points, a fraction of a twip off their columns; the grid
    // keeps beats of fractions of a twip, 11.25 for 400 beats, and moves back by measures of
    // them (45 twips).
    for (const Case& c : {Case{"4", 4, 1125, 1500 - 4500}, Case{" 3 ", 4, 1500, 1500 - 6000},
                          Case{"2", 3, 2250, 1500 - 6750}, Case{"400", 4, 11, 1500 - 45 * 34}}) {
        SCOPED_TRACE(c.answer);
        view.wGrid21->setBeatsPerMeasure(c.beatsPerMeasure);
        select(view, 100, 400);
        align(view, QString::fromLatin1(c.answer));
        EXPECT_EQ(view.wGrid21->BeatWidth(), c.beatWidth);
        EXPECT_NEAR(view.wGrid21->FirstLine(), c.firstLine, 1);
        EXPECT_FALSE(view.wGrid21->isHidden());
        EXPECT_EQ(host_.row->gridVisible, std::optional<bool>(true));
        // The selection box stays drawn (Invert Selection is checked).
        EXPECT_TRUE(view.selection.inverted());
        view.wGrid21->hide();
    }
    EXPECT_EQ(prompts_.inputBoxes().at(0).prompt,
              QStringLiteral("Enter the number of beats in the current selection"));
    EXPECT_EQ(prompts_.inputBoxes().at(0).defaultText, QStringLiteral("4"));
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(RhythmGridViewTest, AlignRefusesCountsThatGiveNoUsableBeatAndNeverHangs)
{
    frmScrollTime& view = loadClicks();
    const QString refused = QStringLiteral(
        "The selection cannot hold that many beats: please enter a number of beats greater than "
        "0 that gives each beat at least one twip.");
    struct Case {
        const char* answer;
        QString message; // empty: none
    };
    for (const Case& c :
         {Case{"0", refused}, Case{"-4", refused}, Case{"1e9", refused}, Case{"0.0001", refused},
          Case{"abc", "Please enter a numeric value"}, Case{"", {}}}) {
        SCOPED_TRACE(c.answer);
        view.wGrid21->setFirstLine(7);
        view.wGrid21->setBeatWidth(360);
        const int messages = shownMessages().size();
        select(view, 100, 400);
        align(view, QString::fromLatin1(c.answer));
        EXPECT_EQ(view.wGrid21->FirstLine(), 7);
        EXPECT_EQ(view.wGrid21->BeatWidth(), 360);
        EXPECT_TRUE(view.wGrid21->isHidden());
        if (c.message.isEmpty())
            EXPECT_EQ(shownMessages().size(), messages);
        else
            EXPECT_EQ(lastMessage(), c.message);
    }

    // No measure to move back by: the first line stays on the selection's start.
    view.wGrid21->setBeatsPerMeasure(0);
    align(view, QStringLiteral("4"));
    EXPECT_EQ(view.wGrid21->FirstLine(), 1500);
    EXPECT_EQ(view.wGrid21->BeatWidth(), 1125);
}

TEST_F(RhythmGridViewTest, BeatsPerMeasureTakesOnlyWholeCountsOfOneOrMore)
{
    frmScrollTime& view = loadClicks();
    struct Case {
        const char* answer;
        int beats;
    };
    for (const Case& c : {Case{"3", 3}, Case{"2.5", 2}, Case{"0.4", 2}, Case{"0", 2}, Case{"-1", 2},
                          Case{"3x", 2}, Case{"", 2}, Case{"7", 7}}) {
        SCOPED_TRACE(c.answer);
        prompts_.queueInput(QString::fromLatin1(c.answer));
        view.mnuBPM_Click();
        EXPECT_EQ(view.wGrid21->BeatsPerMeasure(), c.beats);
    }
    EXPECT_EQ(prompts_.inputBoxes().at(0).prompt,
              QStringLiteral("Enter the number of beats per measure:"));
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(RhythmGridViewTest, TheGridMenuChecksWhatTheGridShows)
{
    frmScrollTime& view = loadClicks();
    view.wGrid21->setHalvesVisible(true);
    view.mnuGridMaster_Click();
    EXPECT_TRUE(view.mnuRulers[2]->isChecked());
    EXPECT_FALSE(view.mnuRulers[3]->isChecked());
    EXPECT_FALSE(view.mnuShowHide->isChecked());

    // Show Grid turns the grid over each time and keeps it with the loop.
    host_.row = LoopGridFields{};
    for (const bool shown : {true, false, true}) {
        view.mnuShowHide->trigger();
        view.mnuGridMaster_Click();
        EXPECT_EQ(!view.wGrid21->isHidden(), shown);
        EXPECT_EQ(view.mnuShowHide->isChecked(), shown);
        EXPECT_EQ(host_.row->gridVisible, std::optional<bool>(shown));
    }
    view.mnuRulers[3]->trigger();
    view.mnuRulers[1]->trigger();
    EXPECT_TRUE(view.wGrid21->ThirdsVisible());
    EXPECT_TRUE(view.wGrid21->HalvesVisible());
    EXPECT_FALSE(view.mnuRulers[1]->isChecked());
}

TEST(GridTempo, BeatsPerMinuteTruncateToOneDecimal)
{
    struct Case {
        int beatMs;
        float tempo;
        int percent;
        double original;
    };
    for (const Case& c :
         {Case{500, 120.0f, 100, 120}, Case{333, 180.1f, 100, 180.1}, Case{700, 85.7f, 100, 85.7},
          Case{1000, 60.0f, 50, 120}, Case{1000, 60.0f, 0, 1200}, Case{1000, 60.0f, -20, 1200}}) {
        SCOPED_TRACE(c.beatMs);
        EXPECT_EQ(tempoOfBeat(c.beatMs), c.tempo);
        EXPECT_DOUBLE_EQ(originalTempo(c.tempo, c.percent), c.original);
    }
    EXPECT_DOUBLE_EQ(originalTempo(90.1f, 75), 120.1);
    EXPECT_EQ(tempoMessage(180.1f, 180.1),
              QStringLiteral("Slowed-down tempo is 180.1 beats per minute.\r\n\r\n"
                             "Original tempo: 180.1"));
    EXPECT_EQ(tempoMessage(60.0f, 120),
              QStringLiteral("Slowed-down tempo is 60 beats per minute.\r\n\r\n"
                             "Original tempo: 120"));
}

TEST_F(RhythmGridViewTest, AClickTrainAlignedOverEightBeatsReadsItsTempo)
{
    frmScrollTime& view = loadClicks();
    view.selection.startMarker.setMsPosition(beatMs);
    view.selection.endMarker.setMsPosition(9 * beatMs);
    align(view, QStringLiteral("8"));
    const std::optional<float> tempo = view.getGridTempo();
    ASSERT_TRUE(tempo);
    EXPECT_NEAR(*tempo, 120.0, 0.2);
    expectLinesOnClicks(view);

    host_.percent = 50;
    view.mnuBPMinute_Click();
    EXPECT_EQ(lastMessage(), tempoMessage(*tempo, originalTempo(*tempo, 50)));
    EXPECT_TRUE(lastMessage().endsWith(QStringLiteral("Original tempo: ")
                                       + QString::number(originalTempo(*tempo, 50), 'g', 15)));

    // Beats too narrow (or reversed) for a whole millisecond: a message, no division.
    for (const int width : {0, -360}) {
        view.wGrid21->setBeatWidth(width);
        EXPECT_FALSE(view.getGridTempo());
        EXPECT_EQ(lastMessage(), QStringLiteral("The grid's beats are too narrow to give a "
                                                "tempo: widen them or zoom in."));
    }
}

TEST_F(RhythmGridViewTest, TheGridStaysOnTheMusicThroughZoomsAndResizes)
{
    frmScrollTime& view = loadClicks(QSize(1000, 400));
    view.selection.startMarker.setMsPosition(2 * beatMs);
    view.selection.endMarker.setMsPosition(6 * beatMs);
    align(view, QStringLiteral("4"));
    const std::int32_t firstLine = view.wGrid21->FirstLine();
    const int beatWidth = view.wGrid21->BeatWidth();
    const double startMs = view.gridStartMs();
    const double widthMs = view.gridWidthMs();
    expectLinesOnClicks(view);

    view.mnuZoom_Click(1);
    EXPECT_GT(view.wGrid21->BeatWidth(), beatWidth * 2);
    expectLinesAt(view, startMs, widthMs);
    view.mnuZoom_Click(2);
    EXPECT_NEAR(view.wGrid21->FirstLine(), firstLine, 1);
    EXPECT_NEAR(view.wGrid21->BeatWidth(), beatWidth, 1);

    for (int i = 0; i < 10; ++i) {
        view.resize(600 + 97 * i, 300 + 13 * i);
        QCoreApplication::processEvents();
        expectLinesAt(view, startMs, widthMs);
    }
    view.resize(1000, 400);
    QCoreApplication::processEvents();
    EXPECT_NEAR(view.wGrid21->FirstLine(), firstLine, 1);
    EXPECT_NEAR(view.wGrid21->BeatWidth(), beatWidth, 1);
    // Putting the grid back never fed back into where it is kept.
    EXPECT_DOUBLE_EQ(view.gridStartMs(), startMs);
    EXPECT_DOUBLE_EQ(view.gridWidthMs(), widthMs);
}

TEST_F(RhythmGridViewTest, UnloadKeepsTheTwipsOfTheOpeningLayout)
{
    host_.row = LoopGridFields{};
    frmScrollTime& view = loadClicks();
    EXPECT_EQ(host_.row->gridVisible, std::optional<bool>(false)); // Null became False
    view.selection.startMarker.setMsPosition(2 * beatMs);
    view.selection.endMarker.setMsPosition(6 * beatMs);
    align(view, QStringLiteral("4"));
    const std::int32_t firstLine = view.wGrid21->FirstLine();
    const int beatWidth = view.wGrid21->BeatWidth();
    view.mnuZoom_Click(1);
    view.resize(500, 300);
    QCoreApplication::processEvents();
    view.unload();
    deleteUnloaded();
    ASSERT_TRUE(host_.row->lastGridStart && host_.row->lastGridWidth);
    EXPECT_NEAR(*host_.row->lastGridStart, firstLine, 1);
    EXPECT_NEAR(*host_.row->lastGridWidth, beatWidth, 1);
    EXPECT_EQ(host_.row->gridVisible, std::optional<bool>(true));

    frmScrollTime& again = load();
    EXPECT_EQ(again.wGrid21->FirstLine(), *host_.row->lastGridStart);
    EXPECT_EQ(again.wGrid21->BeatWidth(), *host_.row->lastGridWidth);
    EXPECT_FALSE(again.wGrid21->isHidden());
    expectLinesOnClicks(again);
}

// The grid lies over the chart: a press on or near a beat line drags the grid, a click that drags
// nothing sets a marker on the chart beneath.
TEST_F(RhythmGridViewTest, TheMouseReachesTheChartBetweenTheGridLines)
{
    frmScrollTime& view = loadClicks();
    view.wGrid21->setFirstLine(100 * tppx);
    view.wGrid21->setBeatWidth(40 * tppx);
    view.mnuShowHide_Click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QWindow* window = view.windowHandle();
    const int top = view.chart().y();
    const int middle = top + view.chart().height() / 2;

    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(120, middle));
    EXPECT_EQ(view.selection.startMarker.pixelPosition(), 120);
    EXPECT_EQ(view.wGrid21->FirstLine(), 100 * tppx);

    // A click on a line that drags nothing sets the marker there, with either button.
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(140, middle));
    EXPECT_EQ(view.selection.startMarker.pixelPosition(), 140);
    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(180, middle));
    EXPECT_EQ(view.selection.endMarker.pixelPosition(), 180);
    EXPECT_EQ(view.wGrid21->FirstLine(), 100 * tppx);

    // A press within 3 pixels of a line grabs it.
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(143, middle));
    for (int x = 149; x <= 173; x += 6)
        QTest::mouseMove(window, QPoint(x, middle));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(173, middle));
    EXPECT_EQ(view.wGrid21->FirstLine(), 130 * tppx);
    EXPECT_EQ(view.selection.startMarker.pixelPosition(), 140);

    // Four pixels off, the press is the chart's.
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(174, middle));
    QTest::mouseMove(window, QPoint(190, middle));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(190, middle));
    EXPECT_EQ(view.wGrid21->FirstLine(), 130 * tppx);
    EXPECT_EQ(view.selection.startMarker.pixelPosition(), 174);
}

TEST_F(RhythmGridViewTest, MovingTheGridDrawsNoWaveformAgain)
{
    frmScrollTime& view = loadClicks();
    view.mnuShowHide_Click();
    QCoreApplication::processEvents();
    view.chart().grab();
    const int renders = view.chart().renders();
    for (int step = 0; step < 10; ++step) {
        view.wGrid21->setFirstLine(view.wGrid21->FirstLine() + 150);
        view.wGrid21->setBeatWidth(view.wGrid21->BeatWidth() + 15);
        QCoreApplication::processEvents();
        view.chart().grab();
    }
    EXPECT_EQ(view.chart().renders(), renders);
}

} // namespace

} // namespace lentaro::test
