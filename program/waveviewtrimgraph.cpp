#include "program/waveviewtrimgraph.h"

#include "platform/forms/formregistry.h"
#include "waveview/frmScrollTime.h"

namespace lentaro {

namespace {

// Asked only while open: the adjustments look first.
frmScrollTime& view()
{
    return *forms::loadedFormOf<frmScrollTime>();
}

} // namespace

bool WaveViewTrimGraph::isOpen() const
{
    return forms::loadedFormOf<frmScrollTime>() != nullptr;
}

double WaveViewTrimGraph::startMarkerMs() const
{
    return view().selection.startMarker.msPosition();
}

double WaveViewTrimGraph::endMarkerMs() const
{
    return view().selection.endMarker.msPosition();
}

void WaveViewTrimGraph::setStartMarkerMs(double ms)
{
    view().selection.startMarker.setMsPosition(ms);
}

void WaveViewTrimGraph::setEndMarkerMs(double ms)
{
    view().selection.endMarker.setMsPosition(ms);
}

} // namespace lentaro
