// libkelvor: the real-time engine's two exports. Passes play through the sound device's feeder;
// nothing thrown inside gets past these functions.

#include "engine/kelvor.h"

#include "engine/pass_control.h"
#include "engine/playback_feeder.h"
#include "engine/sample_player.h"
#include "engine/time_scale.h"
#include "soundfile/guarded_call.h"
#include "soundfile/result_codes.h"

namespace {

class FeederPlayer final : public kv::SamplePlayer {
 public:
  int32_t open(const kv::SoundStream& input) override { return feeder_.open(input); }
  int32_t feed(int32_t sample) override { return feeder_.feed(sample); }
  int32_t drain() override { return feeder_.drain(); }
  int32_t stop() override { return feeder_.stop(); }

 private:
  kv::PlaybackFeeder feeder_;
};

// Constructed when the library is loaded, not at the first pass: at exit, static objects are
// destroyed and exit handlers run in the reverse order of their making, so the runner's handler,
// registered after loading the library to stop the running passes, runs while this still exists.
kv::PassControl engineControl;

}  // namespace

extern "C" int32_t kv_TimeScale(const char* inputPath, double pitchFactor, double timeFactor, int16_t fftSize,
                                int16_t windowMode, const char* outputPath, int16_t playFlag, int16_t channelChoice) {
  return kv::guardedCall(
      [&] {
        // First of all: a stop from here on reaches the pass.
        const kv::PassControl::Arrival arrival = engineControl.arrive();
        kv::TimeScaleJob job;
        job.inputPath = inputPath;
        job.pitchFactor = pitchFactor;
        job.timeFactor = timeFactor;
        job.fftSize = fftSize;
        job.windowMode = windowMode;
        job.outputPath = outputPath;
        job.channelChoice = channelChoice;
        if (!playFlag) return kv::timeScale(job, engineControl, arrival, nullptr);
        FeederPlayer player;
        return kv::timeScale(job, engineControl, arrival, &player);
      },
      kv::kOutOfMemory, kv::kInternalError);
}

extern "C" int32_t kv_StopTimeScale(void) {
  return kv::guardedCall([] { return engineControl.stop(); }, kv::kCannotOpen, kv::kCannotOpen);
}
