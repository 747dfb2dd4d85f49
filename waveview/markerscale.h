#pragma once

#include <cstdint>

class QWidget;

namespace lentaro {

class WaveChart;

// What a marker needs of its view: the step, rate and expansion factor that map its position to
// milliseconds and to the chart, the chart's conversions, and a way to have its line redrawn.
class MarkerScale
{
public:
    virtual ~MarkerScale() = default;

    // Sample values per chart point, as the chart was filled.
    virtual int graphStep() const = 0;
    // Sample values per millisecond of temp.wav.
    virtual double samplesPerMs() const = 0;
    // Slowed-timeline samples per sample value of temp.wav, worked out first when it is not yet
    // known; 0 when it cannot be.
    virtual double expansionFactor() = 0;
    virtual const WaveChart& chart() const = 0;
    // A marker was shown, hidden or moved.
    virtual void markersChanged() = 0;
    // The window a marker's message belongs to.
    virtual QWidget* promptOwner() = 0;
};

} // namespace lentaro
