#include "app/stateVariable.h"

#include "app/preferencetext.h"
#include "trace/tracescope.h"

namespace lentaro {

namespace {

constexpr char module[] = "stateVariable";

} // namespace

QVariant stateVariable::state() const
{
    TraceScope trace(module, "Property Get state");
    return state_;
}

void stateVariable::setState(const QVariant& vData)
{
    TraceScope trace(module, "Property Let state", {{"vData", vData, preferenceText}});
    trace.run([&] {
        state_ = vData;
        const bool playing = vData.toBool();
        // Errors ignored: a control that refuses leaves the rest of the buttons as they are.
        try {
            if (!cdControl_ || !waveControl_)
                return;
            cdControl_->setPlayEnabled(!playing);
            waveControl_->setPlayEnabled(!playing);
            cdControl_->setStopEnabled(true);
            waveControl_->setStopEnabled(true);
        } catch (...) {
        }
    });
}

void stateVariable::setState(QObject* vData)
{
    TraceScope trace(module, "Property Set state");
    trace.run([&] { state_ = QVariant::fromValue(vData); });
}

void stateVariable::setControls(TransportButtons* cdControl, TransportButtons* waveControl)
{
    cdControl_ = cdControl;
    waveControl_ = waveControl;
}

} // namespace lentaro
