// The trim window's life inside the main window.
#include "loops/loopSide.h"

#include "app/windowhelpers.h"
#include "loops/frmTrim.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/ignoringerrors.h"
#include "trace/tracescope.h"

#include <QPushButton>
#include <QSlider>
#include <QTableView>

#include <cmath>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

} // namespace

void LoopSide::showTrim()
{
    if (!trimOpen()) {
        trim_ = new frmTrim(
            main_, rows_, [this](int in, int out) { playLoop(false, in, out); },
            [this](int& start, int& end) { rowLimits(start, end); });
        showHideTrackInfo(false);
        trim_->show();
        trim_->raise();
    }
    trim_->setTrimLimits();
}

void LoopSide::setupTrimFormsForSlowdown()
{
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
}

void LoopSide::adjustTrimForm()
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

void LoopSide::setTrimZoomEnabled(bool enabled)
{
    if (trim_)
        trim_->cmdZoom->setEnabled(enabled);
}

void LoopSide::closeTrim()
{
    if (!trimOpen())
        return;
    trim_->Form_QueryUnload();
    delete trim_.data();
}

} // namespace lentaro
