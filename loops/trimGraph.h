#pragma once

#include "platform/shell/service.h"

namespace lentaro {

// The waveform view's selection as the trim adjustments see it: its two markers, in
// milliseconds of the wave control's timeline. A setter may throw; the adjustment then stops.
class TrimGraph
{
public:
    virtual ~TrimGraph() = default;
    virtual bool isOpen() const = 0;
    virtual double startMarkerMs() const = 0;
    virtual double endMarkerMs() const = 0;
    virtual void setStartMarkerMs(double ms) = 0;
    virtual void setEndMarkerMs(double ms) = 0;
};

// The default, where no waveform view is put in place (the program puts its own): never open,
// keeps nothing.
class NoTrimGraph final : public TrimGraph
{
public:
    bool isOpen() const override { return false; }
    double startMarkerMs() const override { return 0; }
    double endMarkerMs() const override { return 0; }
    void setStartMarkerMs(double) override {}
    void setEndMarkerMs(double) override {}
};

extern Service<TrimGraph> trimGraph;

} // namespace lentaro
