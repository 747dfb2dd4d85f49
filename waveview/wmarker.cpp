#include "waveview/wmarker.h"

#include "app/preferencetext.h"
#include "platform/forms/prompts.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"
#include "waveview/markerscale.h"
#include "waveview/wavechart.h"

#include <cmath>
#include <limits>

namespace lentaro {

namespace {

constexpr char module[] = "markerFiltered";
// How far back a point past the chart's end is tried again, and how often.
constexpr std::int64_t retryBack = 50;
constexpr int retries = 5;

std::int32_t longOf(double value)
{
    if (const std::optional<int> whole = wholeNumberOf(value))
        return *whole;
    throw RuntimeError(errorNumbers::overflow);
}

} // namespace

void wmarker::Hide()
{
    TraceScope trace(module, "Sub Hide");
    if (!visible_)
        return;
    visible_ = false;
    scale_.markersChanged();
}

void wmarker::Show()
{
    TraceScope trace(module, "Sub Show");
    if (visible_)
        return;
    visible_ = true;
    scale_.markersChanged();
}

void wmarker::setSamplePosition(std::int32_t position)
{
    TraceScope trace(module, "Property Let samplePosition", {{"n", position}});
    samplePosition_ = position;
    if (visible_)
        scale_.markersChanged();
}

double wmarker::msPosition() const
{
    TraceScope trace(module, "Property Get msPosition");
    const std::int64_t samples = std::int64_t(scale_.graphStep()) * samplePosition_;
    if (samples > std::numeric_limits<std::int32_t>::max()
        || samples < std::numeric_limits<std::int32_t>::min())
        throw RuntimeError(errorNumbers::overflow);
    return double(samples) / scale_.samplesPerMs();
}

void wmarker::setMsPosition(double ms)
{
    TraceScope trace(module, "Property Let msPosition", {{"v", ms}});
    const std::int32_t samples = longOf(ms * scale_.samplesPerMs());
    setSamplePosition(samples / scale_.graphStep());
}

int wmarker::pixelPosition()
{
    TraceScope trace(module, "Property Get pixelPosition");
    const double factor = scale_.expansionFactor();
    if (factor == 0)
        return -1;
    const WaveChart& chart = scale_.chart();
    std::int64_t point = longOf(samplePosition_ / factor);
    for (int retry = 0; retry < retries && point > chart.series().count(); ++retry)
        point -= retryBack;
    return chart.pointToPixel(point);
}

void wmarker::setPixelPosition(int pixel)
{
    TraceScope trace(module, "Property Let pixelPosition", {{"px", pixel}});
    const double factor = scale_.expansionFactor();
    if (factor == 0)
        return;
    const std::int64_t point = scale_.chart().pixelToPoint(pixel);
    const double position = factor * double(point);
    if (const std::optional<int> whole = wholeNumberOf(position))
        setSamplePosition(*whole);
    else
        forms::MsgBox(QStringLiteral(" myPt: %1 expfactor %2").arg(point).arg(factor),
                      forms::Buttons::OkOnly, forms::Icon::None, {}, scale_.promptOwner());
}

void wBox::invert()
{
    TraceScope trace("wBox", "Function invert");
    inverted_ = !inverted_;
    scale_.markersChanged();
}

} // namespace lentaro
