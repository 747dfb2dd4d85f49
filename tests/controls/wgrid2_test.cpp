#include "controls/wgrid2/wGrid2.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace lentaro::test {

namespace {

// Offscreen screens have 96 dots per inch: 15 twips to the pixel.
constexpr double tppx = 15.0;

// The events one action raised, as "firstLineChanged" and "beatWidthChanged" in order.
QStringList eventsOf(wGrid2& grid, const std::function<void()>& act)
{
    QStringList events;
    QObject listening;
    QObject::connect(&grid, &wGrid2::firstLineChanged, &listening,
                     [&] { events << QStringLiteral("firstLineChanged"); });
    QObject::connect(&grid, &wGrid2::beatWidthChanged, &listening,
                     [&] { events << QStringLiteral("beatWidthChanged"); });
    act();
    return events;
}

// A mouse event at an X in twips (fractions of a pixel allowed).
void sendMouse(wGrid2& grid, QEvent::Type type, Qt::MouseButton button, double twips)
{
    const QPointF at(twips / tppx, 5);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, grid.mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&grid, &event);
}

TEST(wGrid2Test, LinesAreLaidOutFromFirstLineAndBeatWidth)
{
    wGrid2 grid;
    grid.resize(200, 100); // 3000 x 1500 twips
    grid.show();           // a hidden widget hears of its size only when shown
    ASSERT_EQ(grid.FirstLine(), 0);
    ASSERT_EQ(grid.BeatWidth(), 360);
    for (int i = 0; i < wGrid2::beatLines; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(grid.mjrLine(i).left, float(360 * i));
        EXPECT_EQ(grid.mjrLine(i).visible, i <= 8); // Left 0..2880 inside 3000
        EXPECT_EQ(grid.BeatPosition(i + 1), 360 * i);
    }
    EXPECT_EQ(grid.andLine(7).left, 2700.0f);
    EXPECT_TRUE(grid.andLine(7).visible);
    EXPECT_EQ(grid.andLine(8).left, 3060.0f);
    EXPECT_FALSE(grid.andLine(8).visible);
    EXPECT_FALSE(grid.thirdLine(0).visible);
    for (const int beatNum : {0, 31, -1})
        EXPECT_EQ(grid.BeatPosition(beatNum), -1) << beatNum;

    // Beat lines span the height, half lines leave 7 % free at either end, thirds 14 %.
    struct Inset {
        const wGrid2::Line& line;
        int top;
    };
    grid.setThirdsVisible(true);
    grid.setFirstLine(-100);
    for (const Inset& inset :
         {Inset{grid.mjrLine(1), 0}, Inset{grid.andLine(1), 105}, Inset{grid.thirdLine(3), 210}}) {
        EXPECT_EQ(inset.line.top, inset.top);
        EXPECT_EQ(inset.line.height, 1500 - 2 * inset.top);
    }
    EXPECT_EQ(grid.thirdLine(2).left, 380.0f);
    EXPECT_EQ(grid.thirdLine(3).left, 500.0f);
    EXPECT_TRUE(grid.mjrLine(0).visible); // left of the control: clipped, not hidden
    EXPECT_EQ(grid.BeatPosition(1), -100);

    // A half-twip width: the halves and thirds fall between twips.
    grid.setBeatWidth(301);
    EXPECT_EQ(grid.andLine(0).left, 50.5f);
    EXPECT_EQ(grid.thirdLine(0).left, float(-100 + 301 / 3.0));
}

TEST(wGrid2Test, MeasuresAndSwitchesRestyleTheLines)
{
    wGrid2 grid;
    grid.resize(200, 100);
    struct Case {
        int beatsPerMeasure;
        std::vector<int> wide;
    };
    for (const Case& c : {Case{4, {0, 4, 8}}, Case{3, {0, 3, 6, 9}}, Case{0, {0, 3, 6, 9}}}) {
        SCOPED_TRACE(c.beatsPerMeasure);
        grid.setBeatsPerMeasure(c.beatsPerMeasure);
        for (int i = 0; i < 10; ++i) {
            const bool wide = std::find(c.wide.begin(), c.wide.end(), i) != c.wide.end();
            EXPECT_EQ(grid.mjrLine(i).width, wide ? 30 : 15) << i;
        }
    }

    // The switch shows every half line at once, those past the edge too, until the next layout.
    grid.setHalvesVisible(false);
    EXPECT_FALSE(grid.andLine(0).visible);
    grid.setHalvesVisible(true);
    EXPECT_TRUE(grid.andLine(29).visible);
    grid.setFirstLine(0);
    EXPECT_FALSE(grid.andLine(29).visible);
}

TEST(wGrid2Test, FirstLineAndBeatWidthRaiseTheirEventOnEverySet)
{
    wGrid2 grid;
    EXPECT_EQ(eventsOf(grid, [&] { grid.setFirstLine(0); }), QStringList{"firstLineChanged"});
    EXPECT_EQ(eventsOf(grid, [&] { grid.setBeatWidth(360); }), QStringList{"beatWidthChanged"});
    EXPECT_TRUE(eventsOf(grid, [&] {
                    grid.setBeatsPerMeasure(3);
                    grid.setHalvesVisible(false);
                    grid.setThirdsVisible(true);
                    grid.setBeatColor(0xFF);
                    grid.setHalfColor(0xFF);
                    grid.setThirdColor(0xFF);
                }).isEmpty());

    // Halves round to even; outside the Integer range nothing changes and nothing is raised.
    struct Case {
        double value;
        int width; // 0: overflow
    };
    for (const Case& c :
         {Case{2.5, 2}, Case{3.5, 4}, Case{-2.5, -2}, Case{32767.4, 32767}, Case{-32768.5, -32768},
          Case{32767.5, 0}, Case{-32769, 0}, Case{1e12, 0}}) {
        SCOPED_TRACE(c.value);
        grid.setBeatWidth(100);
        if (c.width == 0) {
            QStringList events;
            EXPECT_THROW(events = eventsOf(grid, [&] { grid.setBeatWidth(c.value); }),
                         std::overflow_error);
            EXPECT_TRUE(events.isEmpty());
            EXPECT_EQ(grid.BeatWidth(), 100);
            EXPECT_EQ(grid.mjrLine(1).left, float(grid.FirstLine() + 100));
        } else {
            grid.setBeatWidth(c.value);
            EXPECT_EQ(grid.BeatWidth(), c.width);
        }
    }
}

TEST(wGrid2Test, DraggingMovesWithTheLeftButtonAndStretchesWithTheRight)
{
    wGrid2 grid;
    grid.resize(200, 100);
    struct Case {
        const char* name;
        Qt::MouseButton button;
        double moveTwips;
        std::int32_t firstLine;
        int beatWidth;
    };
    for (const Case& c : {
             Case{"right 30", Qt::RightButton, 30, 0, 370},
             Case{"right 1", Qt::RightButton, 1, 0, 360},
             Case{"right 2", Qt::RightButton, 2, 0, 361},
             Case{"right -45", Qt::RightButton, -45, 0, 345},
             Case{"left 30", Qt::LeftButton, 30, 30, 360},
             Case{"left -450", Qt::LeftButton, -450, -450, 360},
             Case{"middle", Qt::MiddleButton, 30, 0, 360},
         }) {
        SCOPED_TRACE(c.name);
        grid.setFirstLine(0);
        grid.setBeatWidth(360);
        sendMouse(grid, QEvent::MouseButtonPress, c.button, 600);
        sendMouse(grid, QEvent::MouseMove, c.button, 600 + c.moveTwips);
        EXPECT_EQ(grid.FirstLine(), c.firstLine);
        EXPECT_EQ(grid.BeatWidth(), c.beatWidth);
        // Any release ends the drag; later moves change nothing.
        sendMouse(grid, QEvent::MouseButtonRelease, Qt::MiddleButton, 600 + c.moveTwips);
        sendMouse(grid, QEvent::MouseMove, Qt::NoButton, 900);
        EXPECT_EQ(grid.FirstLine(), c.firstLine);
        EXPECT_EQ(grid.BeatWidth(), c.beatWidth);
    }

    // A width of 0 becomes 360 on any move, before the move counts.
    grid.setBeatWidth(0);
    QStringList events =
        eventsOf(grid, [&] { sendMouse(grid, QEvent::MouseMove, Qt::NoButton, 15); });
    EXPECT_EQ(grid.BeatWidth(), 360);
    EXPECT_EQ(events, QStringList{"beatWidthChanged"});

    // A stretch past the Integer range is skipped.
    grid.setBeatWidth(32760);
    sendMouse(grid, QEvent::MouseButtonPress, Qt::RightButton, 0);
    sendMouse(grid, QEvent::MouseMove, Qt::RightButton, 300);
    EXPECT_EQ(grid.BeatWidth(), 32760);
    sendMouse(grid, QEvent::MouseButtonRelease, Qt::RightButton, 300);
}

// A host on a finer scale than twips places the lines between them: the properties read the
// placement rounded, a move keeps the fine width, a set of BeatWidth goes back to whole twips.
TEST(wGrid2Test, PlacedLinesKeepFractionsOfATwip)
{
    wGrid2 grid;
    grid.resize(600, 100);
    QStringList events = eventsOf(grid, [&] { grid.place(1500.4, 585.62); });
    EXPECT_EQ(events, (QStringList{"firstLineChanged", "beatWidthChanged"}));
    EXPECT_EQ(grid.FirstLine(), 1500);
    EXPECT_EQ(grid.BeatWidth(), 586);
    EXPECT_NEAR(grid.mjrLine(20).left, 1500.4 + 20 * 585.62, 0.01);
    EXPECT_NEAR(grid.andLine(20).left, 1500.4 + 20.5 * 585.62, 0.01);
    grid.setFirstLine(1600);
    EXPECT_NEAR(grid.mjrLine(20).left, 1600 + 20 * 585.62, 0.01);
    grid.setBeatWidth(586);
    EXPECT_EQ(grid.mjrLine(20).left, float(1600 + 20 * 586));

    // Out of range: nothing changes and no event is raised.
    for (const auto& placing :
         {std::pair{0.0, 40000.0}, std::pair{3e9, 360.0}, std::pair{0.0, std::nan("")}}) {
        events = eventsOf(grid, [&] {
            EXPECT_THROW(grid.place(placing.first, placing.second), std::overflow_error);
        });
        EXPECT_TRUE(events.isEmpty());
        EXPECT_EQ(grid.FirstLine(), 1600);
        EXPECT_EQ(grid.BeatWidth(), 586);
    }
}

TEST(wGrid2Test, PropertiesSurviveASaveAndReload)
{
    wGrid2 saved;
    saved.setFirstLine(-3000);
    saved.setHalvesVisible(false);
    saved.setThirdsVisible(true);
    saved.setBeatsPerMeasure(3);
    saved.setBeatColor(0xFF00);
    saved.setHalfColor(0x123456);
    saved.setThirdColor(0xFF);
    saved.setBeatWidth(1125);
    QVariantMap properties;
    saved.writeProperties(properties);
    EXPECT_EQ(properties.size(), 8);

    wGrid2 reloaded;
    const QStringList events = eventsOf(reloaded, [&] { reloaded.readProperties(properties); });
    EXPECT_EQ(events, (QStringList{"firstLineChanged", "beatWidthChanged"}));
    EXPECT_EQ(reloaded.FirstLine(), -3000);
    EXPECT_FALSE(reloaded.HalvesVisible());
    EXPECT_TRUE(reloaded.ThirdsVisible());
    EXPECT_EQ(reloaded.BeatsPerMeasure(), 3);
    EXPECT_EQ(reloaded.BeatColor(), 0xFF00u);
    EXPECT_EQ(reloaded.HalfColor(), 0x123456u);
    EXPECT_EQ(reloaded.ThirdColor(), 0xFFu);
    EXPECT_EQ(reloaded.BeatWidth(), 1125);

    // Defaults are left out when written and taken for whatever is missing when read.
    wGrid2 fresh;
    QVariantMap empty;
    fresh.writeProperties(empty);
    EXPECT_TRUE(empty.isEmpty());
    reloaded.readProperties(empty);
    EXPECT_EQ(reloaded.FirstLine(), 0);
    EXPECT_TRUE(reloaded.HalvesVisible());
    EXPECT_FALSE(reloaded.ThirdsVisible());
    EXPECT_EQ(reloaded.BeatsPerMeasure(), 4);
    EXPECT_EQ(reloaded.BeatColor(), wGrid2::defaultBeatColor);
    EXPECT_EQ(reloaded.HalfColor(), wGrid2::defaultHalfColor);
    EXPECT_EQ(reloaded.ThirdColor(), wGrid2::defaultThirdColor);
    EXPECT_EQ(reloaded.BeatWidth(), 360);

    // A stored width the property refuses leaves the width as it is.
    reloaded.setBeatWidth(500);
    reloaded.readProperties({{QStringLiteral("BeatWidth"), 99999}});
    EXPECT_EQ(reloaded.BeatWidth(), 500);
}

// On the screen: a press on a beat line drags the grid; a click between lines reaches the
// widget beneath.
TEST(wGrid2Test, TheMouseGrabsLinesAndPassesBetweenThem)
{
    QWidget window;
    window.resize(300, 120);
    QWidget beneath(&window);
    beneath.setGeometry(0, 0, 300, 120);
    int clicksBeneath = 0;
    struct ClickCounter : QObject {
        int& count;
        explicit ClickCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::MouseButtonPress)
                ++count;
            return false;
        }
    } counter(clicksBeneath);
    beneath.installEventFilter(&counter);
    wGrid2 grid(&window);
    grid.setGeometry(0, 0, 300, 120);
    grid.setFirstLine(1500); // beat lines at pixels 100, 124, 148, ...
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWindow* handle = window.windowHandle();

    std::vector<std::pair<Qt::MouseButton, int>> clickedThrough;
    QObject::connect(&grid, &wGrid2::clickedThrough, &grid,
                     [&](Qt::MouseButton button, Qt::KeyboardModifiers, int x) {
                         clickedThrough.emplace_back(button, x);
                     });
    QTest::mouseClick(handle, Qt::LeftButton, {}, QPoint(106, 60));
    EXPECT_EQ(clicksBeneath, 1);
    EXPECT_EQ(grid.FirstLine(), 1500);
    EXPECT_TRUE(clickedThrough.empty());

    // On a line, or 3 pixels off it, a click that drags nothing is passed on.
    QTest::mouseClick(handle, Qt::LeftButton, {}, QPoint(124, 60));
    QTest::mouseClick(handle, Qt::RightButton, {}, QPoint(151, 60));
    EXPECT_EQ(clicksBeneath, 1);
    EXPECT_EQ(clickedThrough, (std::vector<std::pair<Qt::MouseButton, int>>{
                                  {Qt::LeftButton, 124}, {Qt::RightButton, 151}}));
    EXPECT_EQ(grid.FirstLine(), 1500);
    clickedThrough.clear();

    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(124, 60));
    for (int x = 130; x <= 154; x += 6)
        QTest::mouseMove(handle, QPoint(x, 60));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(154, 60));
    EXPECT_EQ(grid.FirstLine(), 1500 + 30 * 15);
    EXPECT_EQ(clicksBeneath, 1);
    EXPECT_TRUE(clickedThrough.empty());
}

} // namespace

} // namespace lentaro::test
