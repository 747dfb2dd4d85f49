#include "app/recordingsubprefs.h"

#include "app/globals.h"
#include "trace/tracescope.h"

namespace lentaro {

void getRecordingSubPrefs()
{
    TraceScope trace("CdglobalIntl", "Sub getRecordingSubPrefs");
    trace.run([&] {
        gvChannels = 1;
        // Digital reading always delivers CD audio at its own rate.
        gvRecordingRate = gvRecordMode == 1 ? 44100 : gvRecordingSampleRate;
        gvSamplesPerMs = float(gvRecordingRate) / 1000.0f;
    });
}

} // namespace lentaro
