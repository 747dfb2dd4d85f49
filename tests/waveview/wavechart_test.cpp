#include "waveview/wavechart.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace lentaro::test {

namespace {

constexpr int step = 20;
constexpr int samplesPerClick = 4410; // 100 ms at 44.1 kHz
constexpr int clickSamples = 40;
constexpr int amplitude = 20480;
constexpr QRgb black = 0xFF000000;

// One second of a 44.1 kHz mono click train at step 20: point i is sample i × 20.
WaveSeries clickSeries()
{
    std::vector<std::int16_t> points;
    for (int i = 1; i * step < 44100; ++i)
        points.push_back(std::int16_t((i * step) % samplesPerClick < clickSamples ? amplitude : 0));
    return WaveSeries(std::move(points), step);
}

// The first point of click k.
std::int64_t clickPoint(int k)
{
    return (std::int64_t(k) * samplesPerClick + step - 1) / step;
}

class WaveChartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        chart_.resize(700, 300);
        chart_.setSeries(clickSeries());
    }

    QImage image() { return chart_.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Where the linear map puts X, and the row of a value, from the plot's corners.
    double columnOf(double x) const
    {
        const QRect plot = chart_.chartRect();
        return plot.left()
               + (x - chart_.xMin()) * (plot.right() - plot.left())
                     / (chart_.xMax() - chart_.xMin());
    }
    int rowOf(int value) const
    {
        const QRect plot = chart_.chartRect();
        return plot.top() + int(std::lround((32767.0 - value) * (plot.height() - 1) / 65535.0));
    }
    static std::vector<int> lineRows(const QImage& image, int column)
    {
        std::vector<int> rows;
        for (int row = 0; row < image.height(); ++row)
            if (image.pixel(column, row) == black)
                rows.push_back(row);
        return rows;
    }

    WaveChart chart_;
};

TEST_F(WaveChartTest, PlotLiesInsideTheWidgetWithRoomOnTheRight)
{
    const QRect plot = chart_.chartRect();
    EXPECT_EQ(plot, QRect(QPoint(8, 8), QPoint(700 - 1 - 30, 300 - 1 - 8)));
    // Out Full: from X = step - 1 to step × count - 1.
    EXPECT_EQ(chart_.xMin(), step - 1);
    EXPECT_EQ(chart_.xMax(), double(step) * chart_.series().count() - 1);
}

// Clicks show at their amplitude in the column the linear map gives; away from them only the
// centre row is drawn. Whole range (columns of min/max) and zoomed in (the points joined).
TEST_F(WaveChartTest, ClicksShowInTheirColumnsAndSilenceOnTheCentreRow)
{
    struct Case {
        const char* name;
        int firstClick;
        int lastClick;
    };
    const Case cases[] = {
        {"whole range", 1, 9},
        {"clicks 2 to 5", 2, 5},
        {"a few points a column", 3, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.firstClick == 1)
            chart_.setXRange(step - 1, double(step) * chart_.series().count() - 1);
        else
            chart_.setXRange(double(step) * clickPoint(c.firstClick) - 1,
                             double(step) * clickPoint(c.lastClick) - 1);
        const QImage shot = image();
        const QRect plot = chart_.chartRect();
        std::vector<int> clickColumns;
        for (int k = c.firstClick; k <= c.lastClick; ++k) {
            const int column = int(std::lround(columnOf(double(step) * clickPoint(k))));
            if (column < plot.left() || column > plot.right())
                continue;
            clickColumns.push_back(column);
            EXPECT_EQ(shot.pixel(clickColumns.back(), rowOf(amplitude)), black) << "click " << k;
        }
        EXPECT_GE(clickColumns.size(), 2u);
        // A click's two points and the lines to its neighbours.
        const double reach = 3 + 3 * (columnOf(step) - columnOf(0));
        int silentColumns = 0;
        for (int column = plot.left(); column <= plot.right(); ++column) {
            bool nearClick = false;
            for (const int click : clickColumns)
                nearClick = nearClick || std::abs(column - click) <= reach;
            const double x = (column - plot.left()) * (chart_.xMax() - chart_.xMin())
                                 / (plot.right() - plot.left())
                             + chart_.xMin();
            if (nearClick || x < double(step) * 2)
                continue;
            ++silentColumns;
            ASSERT_EQ(lineRows(shot, column), std::vector<int>{rowOf(0)}) << "column " << column;
        }
        EXPECT_GT(silentColumns, 100);
    }
}

TEST_F(WaveChartTest, OutFullGivesBackTheFirstImage)
{
    const QImage first = image();
    chart_.setXRange(1999, 5999);
    EXPECT_NE(image(), first);
    chart_.setXRange(step - 1, double(step) * chart_.series().count() - 1);
    EXPECT_EQ(image(), first);
}

// The overlay inverts whole columns of the plot's inner rows; inverting twice leaves a column
// as it was, and taking the overlay away restores the image exactly.
TEST_F(WaveChartTest, OverlayInvertsItsColumnsAndUndoesItself)
{
    struct Case {
        const char* name;
        std::vector<int> lines;
        bool box;
        int boxFrom;
        int boxTo;
        std::vector<int> inverted;
    };
    const Case cases[] = {
        {"one line", {100}, false, 0, 0, {100}},
        {"the same line twice", {100, 100}, false, 0, 0, {}},
        {"a box", {}, true, 200, 204, {200, 201, 202, 203}},
        {"a box drawn right to left", {}, true, 204, 200, {200, 201, 202, 203}},
        {"a line inside the box", {202}, true, 200, 204, {200, 201, 203}},
        {"a line left of the plot", {2}, false, 0, 0, {}},
        {"a box reaching past the plot", {}, true, 667, 690, {667, 668, 669}},
    };
    const QImage base = image();
    const QRect plot = chart_.chartRect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WaveChart::Overlay overlay;
        overlay.lines = c.lines;
        overlay.boxShown = c.box;
        overlay.boxFrom = c.boxFrom;
        overlay.boxTo = c.boxTo;
        chart_.setOverlay(overlay);
        const QImage shot = image();
        for (int column = 0; column < base.width(); ++column) {
            const bool inverted =
                std::find(c.inverted.begin(), c.inverted.end(), column) != c.inverted.end();
            for (int row = 0; row < base.height(); ++row) {
                const bool inside = inverted && row > plot.top() && row < plot.bottom() - 1;
                const QRgb expected =
                    inside ? base.pixel(column, row) ^ 0x00FFFFFF : base.pixel(column, row);
                ASSERT_EQ(shot.pixel(column, row), expected) << column << "," << row;
            }
        }
        chart_.setOverlay({});
        ASSERT_EQ(image(), base);
    }
}

TEST_F(WaveChartTest, MovingTheOverlayDrawsNoWaveform)
{
    (void)image();
    const int renders = chart_.renders();
    WaveChart::Overlay overlay;
    overlay.boxShown = true;
    overlay.boxFrom = 50;
    overlay.boxTo = 300;
    for (int move = 0; move < 100; ++move) {
        overlay.lines = {60 + move * 5};
        chart_.setOverlay(overlay);
        (void)image();
    }
    EXPECT_EQ(chart_.renders(), renders);
    chart_.setXRange(999, 9999);
    (void)image();
    EXPECT_EQ(chart_.renders(), renders + 1);
}

TEST_F(WaveChartTest, ConversionsBetweenPointsAndColumns)
{
    const std::int64_t count = chart_.series().count();
    const QRect plot = chart_.chartRect();
    EXPECT_EQ(chart_.pointToPixel(0), -1);
    EXPECT_EQ(chart_.pointToPixel(count + 1), -1);
    EXPECT_EQ(chart_.pointToPixel(1), plot.left());
    EXPECT_EQ(chart_.pointToPixel(count), plot.right());
    EXPECT_EQ(chart_.pixelToPoint(-500), 1);
    EXPECT_EQ(chart_.pixelToPoint(5000), count);

    // Zoomed to points 1000..1100: points outside land outside the plot, and every column maps
    // back to its point, inside the plot or not.
    chart_.setXRange(double(step) * 1000 - 1, double(step) * 1100 - 1);
    EXPECT_LT(chart_.pointToPixel(900), plot.left());
    EXPECT_GT(chart_.pointToPixel(1200), plot.right());
    for (const std::int64_t point : {std::int64_t(900), std::int64_t(1000), std::int64_t(1050),
                                     std::int64_t(1100), std::int64_t(1200)})
        EXPECT_EQ(chart_.pixelToPoint(chart_.pointToPixel(point)), point) << point;
    EXPECT_DOUBLE_EQ(chart_.pixelToX(chart_.xToPixel(12345.5)), 12345.5);
}

TEST_F(WaveChartTest, ColoursAreWindowsColourValues)
{
    chart_.setBackColor(0x00FF0000); // blue
    chart_.setLineColor(0x000000FF); // red
    const QImage shot = image();
    // The plot's background; the margin keeps the window's.
    const QRect plot = chart_.chartRect();
    EXPECT_EQ(shot.pixel(plot.left() + 2, plot.top() + 2), qRgb(0, 0, 255));
    EXPECT_EQ(shot.pixel(2, 2), chart_.palette().color(QPalette::Window).rgb());
    EXPECT_EQ(shot.pixel(plot.right() + 2, plot.bottom() + 2), shot.pixel(2, 2));
    EXPECT_EQ(shot.pixel(300, rowOf(0)), qRgb(255, 0, 0));
    EXPECT_EQ(forms::windowsColorOf(forms::colorOf(0x00123456)), 0x00123456u);
}

} // namespace

} // namespace lentaro::test
