#pragma once

namespace lentaro {

// The chart's linear map between pixel columns and milliseconds of the slowed-down timeline,
// unclamped: columns left or right of the plot map to times before or after the range shown.
// X = ms × samples per ms / expansion factor (what the markers hold, without their rounding).
struct ChartMap {
    double xMin = 0;
    double xMax = 1;
    int plotLeft = 0;
    int plotRight = 1;
    // Milliseconds per unit of X: expansion factor / samples per ms.
    double msPerX = 0;

    // Both directions exist: a range, a plot and a scale.
    bool usable() const { return xMax > xMin && plotRight > plotLeft && msPerX > 0; }
    double msPerPixel() const { return (xMax - xMin) / (plotRight - plotLeft) * msPerX; }
    double msOf(double pixel) const
    {
        return (xMin + (pixel - plotLeft) * (xMax - xMin) / (plotRight - plotLeft)) * msPerX;
    }
    double pixelOf(double ms) const
    {
        return plotLeft + (ms / msPerX - xMin) * (plotRight - plotLeft) / (xMax - xMin);
    }
};

} // namespace lentaro
