#pragma once

#include "loops/trimGraph.h"

namespace lentaro {

// The trim adjustments' view of the waveform view: open while the view is loaded, its markers
// the selection's two markers. A marker that cannot take a time throws, as the view's own do.
class WaveViewTrimGraph final : public TrimGraph
{
public:
    bool isOpen() const override;
    double startMarkerMs() const override;
    double endMarkerMs() const override;
    void setStartMarkerMs(double ms) override;
    void setEndMarkerMs(double ms) override;
};

} // namespace lentaro
