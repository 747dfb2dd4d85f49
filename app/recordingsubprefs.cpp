#include "app/recordingsubprefs.h"

#include "app/programstate.h"
#include "trace/tracescope.h"

namespace lentaro {

void getRecordingSubPrefs()
{
    TraceScope trace("CdglobalIntl", "Sub getRecordingSubPrefs");
    trace.run([&] {
        ProgramState& state = programState();
        state.gvChannels = 1;
        // Digital reading always delivers CD audio at its own rate.
        state.gvRecordingRate = state.gvRecordMode == 1 ? 44100 : state.gvRecordingSampleRate;
        state.gvSamplesPerMs = float(state.gvRecordingRate) / 1000.0f;
    });
}

} // namespace lentaro
