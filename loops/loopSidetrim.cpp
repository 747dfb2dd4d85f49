// The trim window's life inside the main window.
#include "loops/loopSide.h"

#include "app/windowhelpers.h"
#include "loops/frmTrim.h"
#include "loops/trimGraph.h"
#include "mainwindow/ignoringerrors.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QPushButton>
#include <QSlider>
#include <QTableView>

#include <cmath>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

} // namespace

void LoopSideOfMain::showTrim()
{
    if (!trimOpen()) {
        trim_ = new frmTrim(
            c_, rows_, [this](int in, int out) { playLoop(false, in, out); },
            [this](int& start, int& end) { rowLimits(start, end); });
        showHideTrackInfo(false);
        trim_->show();
        trim_->raise();
    }
    trim_->setTrimLimits();
}

void LoopSideOfMain::setupTrimFormsForSlowdown()
{
    // Each half on its own: a failure in one leaves the other's shares taken.
    ignoringErrors([&] {
        if (!trimOpen())
            return;
        const auto share = [](const QSlider& slider) {
            return slider.maximum() > 0
                       ? static_cast<float>(static_cast<double>(slider.value()) / slider.maximum())
                       : 0.0F;
        };
        trimStartFraction_ = share(*trim_->slStart[0]);
        trimEndFraction_ = share(*trim_->slStart[1]);
    });
    ignoringErrors([&] {
        const TrimGraph& graph = trimGraph();
        const int length = c_.WaveControl.length();
        if (!graph.isOpen() || length <= 0)
            return;
        graphStartFraction_ = static_cast<float>(graph.startMarkerMs() / length);
        graphEndFraction_ = static_cast<float>(graph.endMarkerMs() / length);
    });
}

void LoopSideOfMain::adjustTrimForm()
{
    TraceScope trace(module, "Sub adjustTrimForm");
    trace.run([&] {
        if (!trimOpen())
            return;
        trim_->setTrimLimits();
        // Halves to even, as the sliders' values are rounded everywhere.
        const float shares[2] = {trimStartFraction_, trimEndFraction_};
        for (int i = 0; i < 2; ++i) {
            QSlider& slider = *trim_->slStart[i];
            slider.setValue(static_cast<int>(std::nearbyint(shares[i] * slider.maximum())));
        }
    });
}

void LoopSideOfMain::adjustGraph()
{
    // A marker that cannot be set ends the adjustment there, the wave control's range untouched.
    ignoringErrors([&] {
        TrimGraph& graph = trimGraph();
        if (!graph.isOpen())
            return;
        mci::MMControl& wave = c_.WaveControl;
        const double length = wave.length();
        graph.setStartMarkerMs(graphStartFraction_ * length);
        graph.setEndMarkerMs(graphEndFraction_ * length);
        host_->ms();
        // Halves to even, as the sliders' values are rounded everywhere.
        wave.setFrom(static_cast<int>(std::nearbyint(graph.startMarkerMs())));
        wave.setTo(static_cast<int>(std::nearbyint(graph.endMarkerMs())));
    });
}

void LoopSideOfMain::setTrimZoomEnabled(bool enabled)
{
    if (trim_)
        trim_->cmdZoom->setEnabled(enabled);
}

void LoopSideOfMain::closeTrim()
{
    if (!trimOpen())
        return;
    trim_->Form_QueryUnload();
    // Transform may be asked from inside the window's own key handling (Alt+T) and closes it on
    // the way: it goes once that handling has returned.
    trim_->hide();
    trim_->deleteLater();
}

} // namespace lentaro
