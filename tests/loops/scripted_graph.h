#pragma once

#include "loops/trimGraph.h"

#include <stdexcept>

namespace lentaro::test {

// The waveform view's selection as a test sets it; setting the start marker throws on request.
class ScriptedGraph final : public TrimGraph
{
public:
    bool open = true;
    bool startFails = false;
    double start = 0;
    double end = 0;

    bool isOpen() const override { return open; }
    double startMarkerMs() const override { return start; }
    double endMarkerMs() const override { return end; }
    void setStartMarkerMs(double ms) override
    {
        if (startFails)
            throw std::runtime_error("Invalid property value");
        start = ms;
    }
    void setEndMarkerMs(double ms) override { end = ms; }
};

} // namespace lentaro::test
