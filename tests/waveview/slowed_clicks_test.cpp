// The waveform view as a musician uses it on a loop of a click track at 120 beats per minute (a
// click every 0.5 s) slowed to 50 %: every box it opens shown above it, the rhythm grid aligned on
// the clicks and its tempo read through the menus at every size and zoom, and the grid moved
// without leaving lines behind.
#include "controls/wgrid2/wGrid2.h"
#include "platform/forms/qtprompts.h"
#include "tests/app/clicking.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"
#include "waveview/wavechart.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace lentaro::test {

namespace {

constexpr int amplitude = 20480;
constexpr int clickMs = 500; // 120 beats per minute at recorded speed
constexpr double loopSeconds = 10;
// The grid's beat lines in the colour the view gives them (RGB(0, 255, 0)).
constexpr QRgb beatColor = 0xFF00FF00;

const QStringList glissom{QStringLiteral("Glissom")};

class SlowedClicksTest : public WaveViewTest
{
protected:
    void SetUp() override
    {
        WaveViewTest::SetUp();
        writeClickTrain(tempWav(), {44100, 1, 2, false}, loopSeconds, amplitude, clickMs);
        // Mono at 50 %: two samples of the slowed loop for each of temp.wav's; a click every
        // second of it, 20 in all.
        host_.factor = 2.0;
        host_.percent = 50;
        host_.length = int(loopSeconds * 2000);
    }

    frmScrollTime& open(QSize size = QSize(800, 400))
    {
        frmScrollTime& view = load(size);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        return view;
    }

    void align(frmScrollTime& view, const char* beats)
    {
        prompts_.queueInput(QString::fromLatin1(beats));
        choose(view, glissom + QStringList{QStringLiteral("Align Grid To Selection")});
    }

    // The slowed-down and the original tempo the tempo box shows.
    std::pair<double, double> tempo(frmScrollTime& view)
    {
        choose(view, glissom + QStringList{QStringLiteral("Beats Per Minute...")});
        const QRegularExpressionMatch shown =
            QRegularExpression(QStringLiteral("^Slowed-down tempo is ([0-9.]+) beats per "
                                              "minute\\.\r\n\r\nOriginal tempo: ([0-9.]+)$"))
                .match(lastMessage());
        EXPECT_TRUE(shown.hasMatch()) << lastMessage().toStdString();
        return {shown.captured(1).toDouble(), shown.captured(2).toDouble()};
    }

    // A click of the mouse where a person clicks: on the view's window at that column of the
    // chart, halfway down, whatever lies over the chart there.
    static void clickChart(frmScrollTime& view, Qt::MouseButton button, int column)
    {
        const QPoint at = view.chart().mapTo(&view, QPoint(column, view.chart().height() / 2));
        QTest::mouseClick(view.windowHandle(), button, {}, at);
    }
    static int columnOf(frmScrollTime& view, double ms)
    {
        return int(std::lround(view.chartMap().pixelOf(ms)));
    }

    // What the view's window shows on the screen, as it was last painted.
    static QImage screen(frmScrollTime& view)
    {
        // Repaints wait for the window's next update request, a timer away.
        QTest::qWait(30);
        return view.screen()
            ->grabWindow(view.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // The chart columns where the screen shows a beat line begin, near the plot's top (where
    // neither the half lines nor the drag handle reach).
    static std::vector<int> lineColumns(frmScrollTime& view)
    {
        const QImage shown = screen(view);
        const QRect plot = view.chart().chartRect();
        const int row = view.chart().y() + plot.top() + 2;
        std::vector<int> columns;
        bool inLine = false;
        for (int x = plot.left(); x <= plot.right(); ++x) {
            const bool line = shown.pixel(view.chart().x() + x, row) == beatColor;
            if (line && !inLine)
                columns.push_back(x);
            inLine = line;
        }
        return columns;
    }

    // Every beat line shown stands within a pixel of a click, and every click has its line.
    static void expectLinesOnClicks(frmScrollTime& view)
    {
        const std::vector<int> clicks = clickColumns(view);
        const std::vector<int> lines = lineColumns(view);
        ASSERT_GE(clicks.size(), 4u);
        const auto nearest = [](const std::vector<int>& columns, int x) {
            int distance = std::numeric_limits<int>::max();
            for (const int column : columns)
                distance = std::min(distance, std::abs(column - x));
            return distance;
        };
        // The loop ends on a line of its own, past its last click.
        for (const int line : lines) {
            if (line <= clicks.back() + 1)
                EXPECT_LE(nearest(clicks, line), 1) << "line at column " << line;
        }
        for (const int click : clicks)
            EXPECT_LE(nearest(lines, click), 1) << "click at column " << click;
    }
};

TEST_F(SlowedClicksTest, AlignedToSelectAllEveryLineStandsOnItsClickAtEverySizeAndZoom)
{
    struct Case {
        const char* name;
        std::function<void(frmScrollTime&)> then;
    };
    const auto resized = [](int width) {
        return [width](frmScrollTime& view) {
            view.resize(width, 400);
            QCoreApplication::processEvents();
        };
    };
    const Case cases[] = {
        {"as aligned", [](frmScrollTime&) {}},
        {"zoomed to the first nine beats",
         [&](frmScrollTime& view) {
             clickChart(view, Qt::LeftButton, columnOf(view, 500));
             clickChart(view, Qt::RightButton, columnOf(view, 9500));
             choose(view, {QStringLiteral("Zoom"), QStringLiteral("To Selection")});
         }},
        {"500 px wide", resized(500)},
        {"1100 px wide", resized(1100)},
        {"moved five steps forward and back",
         [](frmScrollTime& view) {
             for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left})
                 for (int step = 0; step < 5; ++step)
                     QTest::keyClick(&view, key, Qt::ControlModifier);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frmScrollTime& view = open();
        choose(view, {QStringLiteral("Options"), QStringLiteral("Select All")});
        align(view, "20");
        c.then(view);
        expectLinesOnClicks(view);
        const auto [slowed, original] = tempo(view);
        EXPECT_NEAR(slowed, 60, 0.2);
        EXPECT_NEAR(original, 120, 0.2);
        view.unload();
        deleteUnloaded();
    }
}

// The selection the view loads with holds the whole loop (less its last 15 ms): its beats are the
// loop's, from the waveform's first sample, not from the chart's margin.
TEST_F(SlowedClicksTest, TheSelectionItLoadsWithReadsTheTempoOfTheLoop)
{
    frmScrollTime& view = open();
    struct Case {
        const char* beats;
        const char* shown;
    };
    for (const Case& c : {Case{"20", "Slowed-down tempo is 60 beats per minute.\r\n\r\n"
                                     "Original tempo: 120"},
                          Case{"4", "Slowed-down tempo is 12 beats per minute.\r\n\r\n"
                                    "Original tempo: 24"}}) {
        SCOPED_TRACE(c.beats);
        align(view, c.beats);
        choose(view, glissom + QStringList{QStringLiteral("Beats Per Minute...")});
        EXPECT_EQ(lastMessage(), QString::fromLatin1(c.shown));
    }
    // The first line on the waveform's first sample, at the plot's left edge.
    EXPECT_EQ(lineColumns(view).front(), view.chart().chartRect().left());
}

// Markers set on two clicks while zoomed in keep their samples: the tempo of the beats between
// them is true at every zoom, not that of the whole pixels of the full view.
TEST_F(SlowedClicksTest, BeatsSetOnTheClicksWhileZoomedInKeepTheirTempoAtEveryZoom)
{
    // Wide, so that the start is set to within a few ms (a beat of 1000.5 ms reads 59.9).
    frmScrollTime& view = open(QSize(1600, 400));
    const QStringList zoomIn{QStringLiteral("Zoom"), QStringLiteral("To Selection")};
    const QStringList zoomOut{QStringLiteral("Zoom"), QStringLiteral("Out Full")};
    // The end on the click at 6 s, seen 200 ms wide.
    clickChart(view, Qt::LeftButton, columnOf(view, 5900));
    clickChart(view, Qt::RightButton, columnOf(view, 6100));
    choose(view, zoomIn);
    // Seen so wide, a click's edges are lines of their own: the first is its start.
    ASSERT_FALSE(clickColumns(view).empty());
    clickChart(view, Qt::RightButton, clickColumns(view).front());
    // The start on the click at 2 s, seen from 1.9 s to the end.
    choose(view, zoomOut);
    clickChart(view, Qt::LeftButton, columnOf(view, 1900));
    choose(view, zoomIn);
    ASSERT_GE(clickColumns(view).size(), 2u);
    clickChart(view, Qt::LeftButton, clickColumns(view).front());
    EXPECT_NEAR(view.selection.startMarker.msPosition(), 2000, 5);
    EXPECT_NEAR(view.selection.endMarker.msPosition(), 6000, 1);

    choose(view, zoomOut);
    align(view, "4");
    for (const QStringList& zoom : {zoomOut, zoomIn}) {
        SCOPED_TRACE(zoom.back().toStdString());
        choose(view, zoom);
        const auto [slowed, original] = tempo(view);
        EXPECT_NEAR(slowed, 60, 0.2);
        EXPECT_NEAR(original, 120, 0.2);
        expectLinesOnClicks(view);
    }
}

TEST_F(SlowedClicksTest, EveryBoxTheViewOpensIsItsOwn)
{
    frmScrollTime& view = open();
    struct Case {
        const char* name;
        QStringList captions;
        std::function<void()> answers;
    };
    const auto input = [&](const char* text) {
        return [&, text] { prompts_.queueInput(QString::fromLatin1(text)); };
    };
    const auto color = [&] { prompts_.queueColor(QColor(0x30, 0x60, 0x90)); };
    const QStringList options{QStringLiteral("Options")};
    const QStringList colors{QStringLiteral("Colors")};
    const Case cases[] = {
        {"Align", glissom + QStringList{"Align Grid To Selection"}, input("20")},
        {"Align refused", glissom + QStringList{"Align Grid To Selection"}, input("abc")},
        {"Beats Per Measure", glissom + QStringList{"Beats Per Measure..."}, input("3")},
        {"Beats Per Minute", glissom + QStringList{"Beats Per Minute..."}, [] {}},
        {"Quality", options + QStringList{"Graphic Display Quality..."}, input("20")},
        {"Background Color", options + QStringList{"Background Color"}, color},
        {"Graph Color", options + QStringList{"Graph Color"}, color},
        {"Beat colour", colors + QStringList{"Beats (Quarter notes)"}, color},
        {"Half colour", colors + QStringList{"Eighth notes"}, color},
        {"Third colour", colors + QStringList{"Triplets/Swing"}, color},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t messages = prompts_.messageBoxes().size();
        const std::size_t inputs = prompts_.inputBoxes().size();
        const std::size_t dialogs = prompts_.colorDialogs().size();
        c.answers();
        choose(view, c.captions);
        std::vector<QWidget*> owners;
        for (std::size_t i = messages; i < prompts_.messageBoxes().size(); ++i)
            owners.push_back(prompts_.messageBoxes()[i].owner);
        for (std::size_t i = inputs; i < prompts_.inputBoxes().size(); ++i)
            owners.push_back(prompts_.inputBoxes()[i].owner);
        for (std::size_t i = dialogs; i < prompts_.colorDialogs().size(); ++i)
            owners.push_back(prompts_.colorDialogs()[i].owner);
        ASSERT_FALSE(owners.empty());
        for (QWidget* owner : owners)
            EXPECT_EQ(owner, &view);
    }
    EXPECT_EQ(prompts_.pendingAnswers(), 0u);
}

// Qt's own boxes, as the program shows them: a child of the view, on its level above all other
// windows, active with the keyboard focus in it, so that what the person types goes into it.
TEST_F(SlowedClicksTest, TheBoxesAreShownAboveTheViewWithTheFocus)
{
    frmScrollTime& view = open();
    forms::QtPromptService qtBoxes;
    const ScopedOverride<forms::PromptService> qtInPlace(forms::prompts, qtBoxes);
    struct Case {
        const char* name;
        QStringList captions;
        std::function<void(QWidget& box)> answer;
    };
    QString tempoShown;
    const Case cases[] = {
        {"Align", glissom + QStringList{"Align Grid To Selection"},
         [](QWidget& box) {
             QWidget* typing = QApplication::focusWidget();
             QTest::keyClick(typing, Qt::Key_A, Qt::ControlModifier);
             QTest::keyClicks(typing, QStringLiteral("20"));
             QTest::keyClick(typing, Qt::Key_Return);
             (void)box;
         }},
        {"Beats Per Minute", glissom + QStringList{"Beats Per Minute..."},
         [&](QWidget& box) {
             if (auto* shown = qobject_cast<QMessageBox*>(&box))
                 tempoShown = shown->text();
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
         }},
        {"Background Color", QStringList{"Options", "Background Color"},
         [](QWidget&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* parent = nullptr;
        QWindow* transientParent = nullptr;
        bool onTop = false;
        bool active = false;
        bool focused = false;
        WhenModal person([&](QWidget& box) {
            active = QTest::qWaitFor([&] { return QApplication::activeWindow() == &box; }, 5000);
            parent = box.parentWidget();
            transientParent = box.windowHandle()->transientParent();
            onTop = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            focused = box.isAncestorOf(QApplication::focusWidget());
            c.answer(box);
        });
        choose(view, c.captions);
        ASSERT_TRUE(person.acted());
        EXPECT_EQ(parent, &view);
        EXPECT_EQ(transientParent, view.windowHandle());
        EXPECT_TRUE(onTop);
        EXPECT_TRUE(active);
        EXPECT_TRUE(focused);
    }
    // What was typed reached the grid.
    EXPECT_EQ(
        tempoShown,
        QStringLiteral("Slowed-down tempo is 60 beats per minute.\r\n\r\nOriginal tempo: 120"));
}

// Whatever moves the grid, the screen shows only where its lines are now: what the view draws
// afresh.
TEST_F(SlowedClicksTest, MovingTheGridLeavesNoLineBehind)
{
    frmScrollTime& view = open();
    align(view, "20");
    ASSERT_FALSE(view.wGrid21->isHidden());
    const auto drag = [&](Qt::MouseButton button, int pixels) {
        return [&, button, pixels] {
            const int line = lineColumns(view).at(3);
            const QPoint from = view.chart().mapTo(&view, QPoint(line, view.chart().height() / 2));
            QTest::mousePress(view.windowHandle(), button, {}, from);
            for (int moved = 1; moved <= std::abs(pixels); ++moved)
                QTest::mouseMove(view.windowHandle(),
                                 from + QPoint(pixels < 0 ? -moved : moved, 0));
            QTest::mouseRelease(view.windowHandle(), button, {}, from + QPoint(pixels, 0));
        };
    };
    const auto key = [&](Qt::Key pressed, Qt::KeyboardModifiers modifiers) {
        return [&, pressed, modifiers] {
            for (int step = 0; step < 5; ++step)
                QTest::keyClick(&view, pressed, modifiers);
        };
    };
    struct Case {
        const char* name;
        std::function<void()> move;
    };
    const Case cases[] = {
        {"Ctrl+Right", key(Qt::Key_Right, Qt::ControlModifier)},
        {"Ctrl+Left", key(Qt::Key_Left, Qt::ControlModifier)},
        {"Alt+Right", key(Qt::Key_Right, Qt::AltModifier)},
        {"Alt+Left", key(Qt::Key_Left, Qt::AltModifier)},
        {"a drag to the right", drag(Qt::LeftButton, 12)},
        {"a drag to the left", drag(Qt::LeftButton, -7)},
        {"a stretch", drag(Qt::RightButton, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::int32_t firstLine = view.wGrid21->FirstLine();
        const int beatWidth = view.wGrid21->BeatWidth();
        c.move();
        EXPECT_TRUE(view.wGrid21->FirstLine() != firstLine
                    || view.wGrid21->BeatWidth() != beatWidth);
        EXPECT_EQ(screen(view), view.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
}

} // namespace

} // namespace lentaro::test
