#include "waveview/wmarker.h"

#include "tests/app/app_fixture.h"
#include "trace/runtimeerror.h"
#include "waveview/markerscale.h"
#include "waveview/wavechart.h"

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

// A chart of `count` silent points and the numbers the markers map with.
class ChartScale : public MarkerScale
{
public:
    ChartScale(int step, double samplesPerMs, std::int64_t count)
        : step_(step), samplesPerMs_(samplesPerMs)
    {
        chart_.resize(700, 300);
        chart_.setSeries(WaveSeries(std::vector<std::int16_t>(std::size_t(count), 0), step));
    }

    int graphStep() const override { return step_; }
    double samplesPerMs() const override { return samplesPerMs_; }
    double expansionFactor() override
    {
        ++factorAsked;
        return factor;
    }
    const WaveChart& chart() const override { return chart_; }
    void markersChanged() override { ++changes; }
    QWidget* promptOwner() override { return &chart_; }

    WaveChart chart_;
    double factor = 1.0;
    int factorAsked = 0;
    int changes = 0;

private:
    int step_;
    double samplesPerMs_;
};

// Milliseconds to chart points and back: the sample index rounds halves to even, the point is
// the sample index divided by the step, truncated.
TEST(WmarkerTest, MillisecondsAndSamplePositions)
{
    struct Case {
        const char* name;
        int step;
        double samplesPerMs;
        double ms;
        std::int32_t samplePosition;
        double readBack;
    };
    const float recordingRate = 44.1f; // the single-precision rate of a recording setting
    const Case cases[] = {
        {"44.1 kHz file, 1000 ms", 20, 44.1, 1000, 2205, 1000.0},
        {"44.1 kHz file, 1001 ms", 20, 44.1, 1001, 2207, 44140.0 / 44.1},
        {"single-precision 44.1, 1000 ms", 20, recordingRate, 1000, 2205, 44100.0 / recordingRate},
        {"48 kHz file, 1000 ms", 20, 48.0, 1000, 2400, 1000.0},
        {"step 1, half a sample rounds to even", 1, 1.0, 2.5, 2, 2.0},
        {"step 1, 3.5 rounds up", 1, 1.0, 3.5, 4, 4.0},
        {"step 7 truncates", 7, 1.0, 20, 2, 14.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChartScale scale(c.step, c.samplesPerMs, 100);
        wmarker marker(scale);
        marker.setMsPosition(c.ms);
        EXPECT_EQ(marker.samplePosition(), c.samplePosition);
        EXPECT_NEAR(marker.msPosition(), c.readBack, 1e-9);
    }
    EXPECT_NEAR(44100.0 / recordingRate, 1000.00003, 1e-5);
}

TEST(WmarkerTest, PositionsOutsideTheLongRangeLeaveTheMarker)
{
    ChartScale scale(20, 44.1, 100);
    wmarker marker(scale);
    marker.setSamplePosition(500);
    EXPECT_THROW(marker.setMsPosition(1e12), RuntimeError);
    EXPECT_THROW(marker.setMsPosition(std::nan("")), RuntimeError);
    EXPECT_EQ(marker.samplePosition(), 500);
    marker.setSamplePosition(200'000'000);
    EXPECT_THROW((void)marker.msPosition(), RuntimeError); // 20 × 2e8 passes the Long range
}

TEST(WmarkerTest, ShowAndHideRedrawOnlyWhenTheyChangeSomething)
{
    ChartScale scale(20, 44.1, 100);
    wmarker marker(scale);
    marker.setSamplePosition(10); // hidden: nothing to redraw
    EXPECT_EQ(scale.changes, 0);
    marker.Hide();
    EXPECT_EQ(scale.changes, 0);
    marker.Show();
    marker.Show();
    EXPECT_EQ(scale.changes, 1);
    marker.setSamplePosition(20);
    EXPECT_EQ(scale.changes, 2);
    marker.Hide();
    marker.Hide();
    EXPECT_EQ(scale.changes, 3);
    EXPECT_FALSE(marker.visible());
}

TEST(WmarkerTest, PixelPositions)
{
    ChartScale scale(20, 44.1, 1000);
    const WaveChart& chart = scale.chart_;
    wmarker marker(scale);

    // The point is samplePosition / factor, rounded halves to even.
    scale.factor = 2.0;
    marker.setSamplePosition(501); // 250.5 → 250
    EXPECT_EQ(marker.pixelPosition(), chart.pointToPixel(250));
    marker.setPixelPosition(chart.pointToPixel(300));
    EXPECT_EQ(marker.samplePosition(), 600);

    // Past the chart's end: tried 50 points earlier, at most five times.
    scale.factor = 1.0;
    marker.setSamplePosition(1120);
    EXPECT_EQ(marker.pixelPosition(), chart.pointToPixel(970)); // 1120, 1070, 1020, 970
    marker.setSamplePosition(1300);
    EXPECT_EQ(marker.pixelPosition(), -1);

    // No factor to be had: no column, and a column sets nothing.
    scale.factor = 0;
    marker.setSamplePosition(100);
    EXPECT_EQ(marker.pixelPosition(), -1);
    marker.setPixelPosition(300);
    EXPECT_EQ(marker.samplePosition(), 100);
}

// A marker outside the zoomed range keeps its place through its column, on either side.
TEST(WmarkerTest, PixelPositionsRoundTripOutsideTheZoomedRange)
{
    ChartScale scale(20, 44.1, 5000);
    scale.chart_.setXRange(20.0 * 2000 - 1, 20.0 * 2200 - 1);
    wmarker marker(scale);
    for (const double factor : {1.0, 1.5}) {
        scale.factor = factor;
        for (const std::int32_t position : {1200, 2100, 3000, 4500}) {
            const std::int32_t samplePosition = std::int32_t(position * factor);
            marker.setSamplePosition(samplePosition);
            const int pixel = marker.pixelPosition();
            marker.setSamplePosition(1);
            marker.setPixelPosition(pixel);
            EXPECT_EQ(marker.samplePosition(), samplePosition) << position << " × " << factor;
        }
    }
}

class WboxTest : public AppTest
{};

TEST_F(WboxTest, InvertingTwiceTakesTheBoxAway)
{
    ChartScale scale(20, 44.1, 100);
    wBox box(scale);
    EXPECT_EQ(box.startMarker.samplePosition(), 1);
    EXPECT_EQ(box.endMarker.samplePosition(), 1);
    EXPECT_FALSE(box.inverted());
    box.invert();
    EXPECT_TRUE(box.inverted());
    box.invert();
    EXPECT_FALSE(box.inverted());
    EXPECT_EQ(scale.changes, 2);
}

TEST_F(WboxTest, AnUnstorablePositionIsReportedAndLeft)
{
    ChartScale scale(20, 44.1, 100);
    wmarker marker(scale);
    marker.setSamplePosition(7);
    scale.factor = 1e9;
    marker.setPixelPosition(scale.chart_.pointToPixel(50));
    EXPECT_EQ(marker.samplePosition(), 7);
    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral(" myPt: 50 expfactor 1e+09")});
    EXPECT_EQ(prompts_.messageBoxes().back().owner, &scale.chart_);
}

} // namespace

} // namespace lentaro::test
