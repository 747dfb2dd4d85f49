#pragma once

#include <cstdint>

namespace lentaro {

class MarkerScale;

// One position on the slowed-down loop, kept in chart points of the slowed timeline
// (samplePosition) and read or set in milliseconds of that timeline or as a pixel column of the
// chart. Shown, it is a one-pixel line inverted over the chart.
class wmarker
{
public:
    explicit wmarker(MarkerScale& scale) : scale_(scale) {}

    void Hide();
    void Show();
    bool visible() const { return visible_; }

    // Stored only: the line is drawn by inversion whatever the colour.
    std::uint32_t lineColor() const { return lineColor_; }
    void setLineColor(std::uint32_t color) { lineColor_ = color; }

    std::int32_t samplePosition() const { return samplePosition_; }
    void setSamplePosition(std::int32_t position);

    // step × samplePosition / samples per ms. Raises Overflow (6) when the product passes the
    // 32-bit range.
    double msPosition() const;
    // samplePosition := round(ms × samples per ms) \ step. A value that gives no 32-bit position
    // raises Overflow and leaves the marker where it was.
    void setMsPosition(double ms);

    // The chart column of the marker's point on temp.wav's chart (samplePosition / expansion
    // factor); a point past the chart's end is tried up to 5 times 50 points earlier. -1 when the
    // expansion factor cannot be worked out.
    int pixelPosition();
    // samplePosition := round(expansion factor × the column's point); nothing changes when the
    // factor cannot be worked out. A position outside the 32-bit range is reported and left.
    void setPixelPosition(int pixel);

private:
    MarkerScale& scale_;
    bool visible_ = false;
    std::int32_t samplePosition_ = 1;
    std::uint32_t lineColor_ = 0;
};

// The selection: two markers and the box inverted between them.
class wBox
{
public:
    explicit wBox(MarkerScale& scale) : startMarker(scale), endMarker(scale), scale_(scale) {}

    wmarker startMarker;
    wmarker endMarker;

    // Draws the box once more: a second call takes it away again.
    void invert();
    bool inverted() const { return inverted_; }
    // A fresh paint of the chart: no box drawn.
    void erase() { inverted_ = false; }

private:
    MarkerScale& scale_;
    bool inverted_ = false;
};

} // namespace lentaro
