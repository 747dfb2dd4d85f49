#include "app/globals.h"

namespace lentaro {

bool gvShowTips = false;
bool gvAutoSlow = false;
int gvRecordMode = 0;
int gvRecordingDepth = 0;
int gvRecordingSampleRate = 0;
bool gvAutomaticallySetRecordingMixer = false;
int gvSoundQuality = 0;
bool gvPreviewEnd = false;
bool gvDeleteTempFiles = false;
bool gvShowTooltips = false;
int gvDigCDNum = 0;
bool gvRealtime = false;
int gvChannelToTransform = 0;
bool gvSwitchToDigitalAskedAndAnswered = false;

bool gvSlowMode = false;

bool gvExiting = false;

int gvChannels = 0;
int gvRecordingRate = 0;
float gvSamplesPerMs = 0.0f;

} // namespace lentaro
