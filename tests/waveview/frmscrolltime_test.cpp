#include "waveview/frmScrollTime.h"

#include "app/programstate.h"
#include "platform/forms/formregistry.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/wavechart.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace lentaro::test {

namespace {

constexpr int amplitude = 20480;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb black = 0xFF000000;

class ScrollTimeTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        programState().gvGraphStep = 20;
        programState().gvSamplesPerMs = 44.1f;
    }

    QString tempWav() const { return path(QStringLiteral("temp.wav")); }

    frmScrollTime& load()
    {
        auto* view = new frmScrollTime(host_);
        view->resize(800, 400);
        QCoreApplication::processEvents();
        return *view;
    }

    static QImage shot(frmScrollTime& view)
    {
        return view.chart().grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // A mouse click on the chart at that column, halfway down.
    static void click(frmScrollTime& view, Qt::MouseButton button, int x,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(&view.chart(), button, modifiers, QPoint(x, view.chart().height() / 2));
    }

    RecordingHost host_;
};

TEST_F(ScrollTimeTest, LoadingDrawsTempWavInATopmostWaveView)
{
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 1.0, amplitude);
    frmScrollTime& view = load();
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Wave View"));
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(view.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(forms::loadedFormOf<frmScrollTime>(), &view);
    // The wait is shown while the chart is filled, and taken away when the view is up.
    EXPECT_EQ(host_.statuses,
              (std::vector<QString>{QStringLiteral("Generating Wave graphic, please wait."), {}}));
    EXPECT_EQ(host_.updateInterval, 100);
    EXPECT_EQ(view.lblHelp->text(),
              QStringLiteral("Left-mouse button sets start; right button sets end"));
    EXPECT_TRUE(view.mnuInvert->isChecked());
    EXPECT_EQ(view.chart().series().count(), 44099 / 20);
    EXPECT_EQ(view.graphStep(), 20);
    EXPECT_DOUBLE_EQ(view.samplesPerMs(), 44.1);
    EXPECT_TRUE(shownMessages().isEmpty());

    // The chart reaches 250 twips (17 pixels) past the window, its plot ends inside it, and the
    // transport sits below it.
    for (const QSize size : {QSize(800, 400), QSize(640, 300)}) {
        view.resize(size);
        QCoreApplication::processEvents();
        const QRect chart = view.chart().geometry();
        EXPECT_EQ(chart.width(), size.width() + 17);
        EXPECT_LT(chart.x() + view.chart().chartRect().right(), size.width());
        EXPECT_EQ(size.height() - chart.bottom() - 1, 48);
        EXPECT_GT(view.MMControl1->y(), chart.bottom());
        EXPECT_LE(view.MMControl1->geometry().right(), size.width());
    }
}

// A sine drawn over the whole plot: an unbroken line in every column, reaching its peaks on both
// sides and no further.
TEST_F(ScrollTimeTest, ASineIsAnUnbrokenLineBetweenItsPeaks)
{
    for (const WaveFormat format :
         {WaveFormat{44100, 1, 2, false}, WaveFormat{48000, 2, 1, false}}) {
        SCOPED_TRACE(format.channels);
        writeSine(tempWav(), format, 1.0, 50, amplitude);
        frmScrollTime& view = load();
        view.mnuInvert->setChecked(false);
        const QImage image = shot(view);
        const QRect plot = view.chart().chartRect();
        const auto rowOf = [&](int value) {
            return plot.top() + int(std::lround((32767.0 - value) * (plot.height() - 1) / 65535.0));
        };
        int highest = image.height();
        int lowest = -1;
        for (int column = plot.left() + 1; column <= plot.right(); ++column) {
            int drawn = 0;
            for (int row = 0; row < image.height(); ++row) {
                if (image.pixel(column, row) != black)
                    continue;
                ++drawn;
                highest = std::min(highest, row);
                lowest = std::max(lowest, row);
            }
            ASSERT_GT(drawn, 0) << "column " << column;
        }
        EXPECT_NEAR(highest, rowOf(amplitude), 2); // 8-bit samples lose up to 255
        EXPECT_NEAR(lowest, rowOf(-amplitude), 2);
        view.unload();
        deleteUnloaded();
    }
}

TEST_F(ScrollTimeTest, TheCloseBoxHidesTheViewWhichKeepsItsChart)
{
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 1.0, amplitude);
    frmScrollTime& view = load();
    view.selection.startMarker.setSamplePosition(300);
    writeClickTrain(tempWav(), {44100, 2, 2, false}, 2.0, amplitude);
    view.close();
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(forms::loadedFormOf<frmScrollTime>(), &view);
    view.show();
    EXPECT_EQ(view.chart().series().count(), 44099 / 20);
    EXPECT_EQ(view.selection.startMarker.samplePosition(), 300);
    view.unload();
    EXPECT_EQ(forms::loadedFormOf<frmScrollTime>(), nullptr);
}

// A temp.wav that cannot be drawn gives one message naming it, and an empty chart in a view
// that still works.
TEST_F(ScrollTimeTest, AnUnreadableTempWavGivesOneMessageAndAnEmptyChart)
{
    struct Case {
        const char* name;
        std::optional<QByteArray> bytes;
        const char* message;
    };
    const Case cases[] = {
        {"missing", std::nullopt, "Error 53 occurred reading temp.wav into the graph\n\n"},
        {"empty", QByteArray(), "Error 321 occurred reading temp.wav into the graph\n\n"},
        {"one byte", QByteArray(1, '\0'), "Error 321 occurred reading temp.wav into the graph\n\n"},
        {"no sound file", QByteArray(4000, 'x'),
         "Error 321 occurred reading temp.wav into the graph\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_ = {};
        QFile::remove(tempWav());
        if (c.bytes)
            writeFile(QStringLiteral("temp.wav"), *c.bytes);
        frmScrollTime& view = load();
        ASSERT_EQ(shownMessages().size(), 1);
        EXPECT_TRUE(shownMessages().front().startsWith(QLatin1String(c.message)))
            << shownMessages().front().toStdString();
        EXPECT_TRUE(shownMessages().front().endsWith(
            QLatin1String("\n\nPlease send email with the error description to "
                          "support@lentaro.org. Thank you.")));
        EXPECT_EQ(view.chart().series().count(), 0);
        EXPECT_FALSE(view.chart().holdRedraw());
        EXPECT_TRUE(view.isVisible());
        // Rate and step fall back to the recording setting's.
        EXPECT_DOUBLE_EQ(view.samplesPerMs(), double(44.1f));
        view.mnuZoom_Click(1);
        view.mnuZoom_Click(2);
        click(view, Qt::LeftButton, 100);
        view.unload();
        deleteUnloaded();
    }
}

// Clicks set the selection: left the start, right the end, the box inverted between them, the
// selection played from its start to its end.
TEST_F(ScrollTimeTest, MouseClicksSetAndPlayTheSelection)
{
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 1.0, amplitude);
    frmScrollTime& view = load();
    const WaveChart& chart = view.chart();
    view.mnuInvert->setChecked(false);
    const QImage before = shot(view);
    view.mnuInvert->setChecked(true);
    const int plotEnd = chart.chartRect().right();
    const auto msOfColumn = [&](int column) {
        return double(20 * chart.pixelToPoint(column)) / 44.1;
    };

    struct Case {
        const char* name;
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        int x;
        int startColumn;
        int endColumn;
    };
    const Case cases[] = {
        {"left sets the start", Qt::LeftButton, Qt::NoModifier, 100, 100, plotEnd},
        {"right sets the end", Qt::RightButton, Qt::NoModifier, 400, 100, 400},
        {"right left of the start swaps", Qt::RightButton, Qt::NoModifier, 50, 50, 100},
        {"middle moves nothing", Qt::MiddleButton, Qt::NoModifier, 300, 50, 100},
        {"shift moves nothing", Qt::LeftButton, Qt::ShiftModifier, 300, 50, 100},
        {"ctrl moves nothing", Qt::RightButton, Qt::ControlModifier, 300, 50, 100},
        {"left right of the end swaps", Qt::LeftButton, Qt::NoModifier, 200, 100, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host_.plays.clear();
        host_.control.setCommand(QString());
        click(view, c.button, c.x, c.modifiers);
        EXPECT_EQ(view.selection.startMarker.pixelPosition(), c.startColumn);
        EXPECT_EQ(view.selection.endMarker.pixelPosition(), c.endColumn);
        // Stopped, then played anew.
        EXPECT_EQ(host_.control.command(), QStringLiteral("Stop"));
        ASSERT_EQ(host_.plays.size(), 1u);
        EXPECT_EQ(host_.plays[0].from, std::lround(msOfColumn(c.startColumn)));
        EXPECT_EQ(host_.plays[0].to, std::lround(msOfColumn(c.endColumn)));
        const QImage now = shot(view);
        const int top = chart.chartRect().top();
        for (const int column : {c.startColumn - 1, c.startColumn, c.endColumn - 1, c.endColumn})
            EXPECT_EQ(now.pixel(column, top + 1) != before.pixel(column, top + 1),
                      column >= c.startColumn && column < c.endColumn)
                << "column " << column;
    }
}

// The Play button sends the selection's times, rounded halves to even, and plays nothing when
// the selection is empty or reversed.
TEST_F(ScrollTimeTest, PlaySendsTheSelectionsRoundedTimes)
{
    writeClickTrain(tempWav(), {10000, 1, 2, false}, 3.0, amplitude);
    programState().gvGraphStep = 1;
    frmScrollTime& view = load();
    struct Case {
        std::int32_t start;
        std::int32_t end;
        std::optional<RecordingHost::Play> play;
    };
    const Case cases[] = {
        {10004, 20005, RecordingHost::Play{1000, 2000}}, // 1000.4 and 2000.5 ms
        {10005, 20015, RecordingHost::Play{1000, 2002}}, // 1000.5 and 2001.5 ms
        {20000, 20000, std::nullopt},
        {20000, 10000, std::nullopt},
    };
    for (const Case& c : cases) {
        host_.plays.clear();
        view.selection.startMarker.setSamplePosition(c.start);
        view.selection.endMarker.setSamplePosition(c.end);
        emit view.MMControl1->playClick(*std::make_unique<bool>(false));
        if (c.play)
            EXPECT_EQ(host_.plays, std::vector<RecordingHost::Play>{*c.play}) << c.start;
        else
            EXPECT_TRUE(host_.plays.empty()) << c.start;
    }
    programState().gvPlayState.setState(true);
    view.playPosition.Show();
    emit view.MMControl1->stopClick(*std::make_unique<bool>(false));
    EXPECT_FALSE(programState().gvPlayState.state().toBool());
    EXPECT_FALSE(view.playPosition.visible());
    EXPECT_EQ(host_.control.command(), QStringLiteral("Stop"));
}

TEST_F(ScrollTimeTest, ZoomShowsTheSelectionAndOutFullTheWholeChart)
{
    writeClickTrain(tempWav(), {44100, 2, 2, false}, 2.0, amplitude);
    frmScrollTime& view = load();
    const QImage whole = shot(view);
    const std::int32_t end = view.selection.endMarker.samplePosition();
    const std::int64_t count = view.chart().series().count();
    host_.factor = 2.0;
    struct Case {
        const char* name;
        std::int32_t start;
        std::int32_t end;
        double xMin;
        double xMax;
    };
    const Case cases[] = {
        {"selection 2000..6000 at factor 2", 2000, 6000, 19999, 59999},
        {"halves round to even", 2001, 6003, 19999, 60039},
        {"an empty selection changes nothing", 3000, 3001, 19999, 60039},
        {"a reversed one neither", 6000, 2000, 19999, 60039},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.selection.startMarker.setSamplePosition(c.start);
        view.selection.endMarker.setSamplePosition(c.end);
        view.mnuZoom_Click(1);
        EXPECT_EQ(view.chart().xMin(), c.xMin);
        EXPECT_EQ(view.chart().xMax(), c.xMax);
    }
    // The selection starts at the plot's left edge.
    view.selection.startMarker.setSamplePosition(2001);
    EXPECT_EQ(view.selection.startMarker.pixelPosition(), view.chart().chartRect().left());

    view.mnuZoom_Click(2);
    EXPECT_EQ(view.chart().xMin(), 19);
    EXPECT_EQ(view.chart().xMax(), 20.0 * count - 1);
    view.selection.startMarker.setSamplePosition(1);
    host_.factor = 1.0;
    view.selection.endMarker.setSamplePosition(end);
    view.form_paint();
    EXPECT_EQ(shot(view), whole);
}

// The quality changes the step for the next load only: this view keeps the step it was filled
// with for its markers and zoom.
TEST_F(ScrollTimeTest, QualityTakesEffectAtTheNextLoad)
{
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 1.0, amplitude);
    frmScrollTime& view = load();
    struct Case {
        const char* answer;
        int step;
        bool told;
    };
    const Case cases[] = {
        {"0", 20, false}, {"21", 20, false}, {"abc", 20, false}, {"", 20, false},
        {"20", 1, true},  {"5.5", 15, true}, {"1", 20, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const int before = programState().gvGraphStep;
        prompts_ = {};
        prompts_.queueInput(QString::fromLatin1(c.answer));
        view.mnuGraphicDisplayQuality_Click();
        ASSERT_EQ(prompts_.inputBoxes().size(), 1u);
        EXPECT_EQ(prompts_.inputBoxes()[0].caption, QStringLiteral("Enter quality factor"));
        EXPECT_EQ(prompts_.inputBoxes()[0].defaultText, QString::number(21 - before));
        EXPECT_EQ(programState().gvGraphStep, c.step);
        EXPECT_EQ(shownMessages(),
                  c.told ? QStringList{QStringLiteral(
                      "The new value will take effect the next time you create a graph.")}
                         : QStringList{});
    }
    programState().gvGraphStep = 1;
    view.selection.endMarker.setMsPosition(1000);
    EXPECT_EQ(view.selection.endMarker.samplePosition(), 2205);
    view.mnuZoom_Click(2);
    EXPECT_EQ(view.chart().xMin(), 19);
}

TEST_F(ScrollTimeTest, SelectAllRunsFromTheFirstPointToTheLoopsEnd)
{
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 1.0, amplitude);
    struct Case {
        const char* name;
        int length;
        double factor;
        std::int32_t end;
    };
    const Case cases[] = {
        {"15 ms before the wave control's length", 3015, 1.0, 6615},
        {"the chart's end when the control holds nothing", 0, 1.0, 2204},
        {"the chart's end on the slowed timeline", 0, 2.0, 4408},
        {"never before the start", 0, 0.0, 2204},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host_.length = c.length;
        host_.factor = c.factor;
        frmScrollTime& view = load();
        EXPECT_EQ(view.selection.startMarker.samplePosition(), 1);
        EXPECT_EQ(view.selection.endMarker.samplePosition(), c.end);
        view.selection.startMarker.setSamplePosition(500);
        view.selection.endMarker.setSamplePosition(600);
        view.playPosition.Show();
        host_.plays.clear();
        view.mnuSelectAll_Click();
        EXPECT_EQ(view.selection.startMarker.samplePosition(), 1);
        EXPECT_EQ(view.selection.endMarker.samplePosition(), c.end);
        EXPECT_FALSE(view.playPosition.visible());
        EXPECT_EQ(host_.plays.size(), 1u);
        view.unload();
        deleteUnloaded();
    }
}

// On the slowed timeline a click on a click's column gives its slowed time, whatever the
// channels and the speed.
TEST_F(ScrollTimeTest, AClickOnAClickGivesItsSlowedTime)
{
    struct Case {
        const char* name;
        WaveFormat format;
        int percent;
    };
    const Case cases[] = {
        {"stereo at 50 %", {44100, 2, 2, false}, 50},
        {"mono at 75 %", {44100, 1, 2, false}, 75},
        {"mono 48 kHz at 100 %", {48000, 1, 2, false}, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeClickTrain(tempWav(), c.format, 1.0, amplitude);
        host_.factor = (100.0 / c.percent) / c.format.channels;
        frmScrollTime& view = load();
        const double pointMs = 20 * host_.factor / (c.format.rate / 1000.0);
        for (const int k : {2, 5}) {
            // Zoomed around click k so that a column is less than a point.
            const std::int64_t point =
                (std::int64_t(k) * c.format.rate / 10 * c.format.channels + 19) / 20;
            view.SetDataRange(point - 100, point + 100);
            click(view, Qt::LeftButton, view.chart().pointToPixel(point));
            const double slowedMs = k * 100.0 * 100.0 / c.percent;
            EXPECT_NEAR(view.selection.startMarker.msPosition(), slowedMs, pointMs) << k;
            EXPECT_NEAR(view.msPos(view.chart().pointToPixel(point)), slowedMs, pointMs) << k;
            // Whole milliseconds and the step's truncation: within a point and a column.
            const int pointColumns =
                view.chart().pointToPixel(point + 1) - view.chart().pointToPixel(point);
            EXPECT_NEAR(view.pixelPos(int(std::lround(slowedMs))), view.chart().pointToPixel(point),
                        pointColumns + 1)
                << k;
        }
        view.unload();
        deleteUnloaded();
    }
}

// The play line follows the play position over the waveform without drawing it again, and
// stays on the screen through every repaint until hidden.
TEST_F(ScrollTimeTest, ThePlayLineMovesOverTheWaveform)
{
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 1.0, amplitude);
    frmScrollTime& view = load();
    view.mnuInvert->setChecked(false);
    const QImage before = shot(view);
    const int renders = view.chart().renders();
    for (int move = 0; move < 100; ++move) {
        view.playPosition.setMsPosition(move * 10);
        view.playPosition.Show();
        (void)shot(view);
    }
    EXPECT_EQ(view.chart().renders(), renders);

    const int top = view.chart().chartRect().top();
    const int column = view.playPosition.pixelPosition();
    EXPECT_EQ(shot(view).pixel(column, top + 1), black);
    view.resize(700, 350); // a repaint keeps the shown line
    QCoreApplication::processEvents();
    EXPECT_EQ(shot(view).pixel(view.playPosition.pixelPosition(), top + 1), black);
    view.resize(800, 400);
    QCoreApplication::processEvents();
    view.mnuRefresh_Click(); // hides it
    EXPECT_FALSE(view.playPosition.visible());
    EXPECT_EQ(shot(view), before);
    EXPECT_EQ(before.pixel(column, top + 1), white);
}

} // namespace

} // namespace lentaro::test
