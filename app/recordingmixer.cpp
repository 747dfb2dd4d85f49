#include "app/recordingmixer.h"

#include "app/hints.h"
#include "app/optionstargets.h"
#include "trace/tracescope.h"

namespace lentaro {

void showRecordingMixer2()
{
    TraceScope trace("CdglobalIntl", "Sub showRecordingMixer2");
    trace.run([&] {
        if (!ShowHint(QStringLiteral("recordingMixerTakesAWhile")))
            return;
        optionsTargets().showMixer();
    });
}

} // namespace lentaro
