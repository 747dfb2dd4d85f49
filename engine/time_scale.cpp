#include "engine/time_scale.h"

#include <memory>

#include "engine/same_file.h"
#include "engine/vocoder.h"
#include "engine/vocoder_sizes.h"
#include "soundfile/result_codes.h"
#include "soundfile/sample_format.h"
#include "soundfile/sound_stream.h"

namespace kv {

namespace {

// Keeps a pass's input registered with the control while the pass runs, and takes it off on
// every way out.
class CurrentPass {
 public:
  CurrentPass(PassControl& control, PassControl::Arrival arrival, std::unique_ptr<SoundStream>& input)
      : control_(control), arrival_(arrival), input_(input) {}
  ~CurrentPass() { leave(); }
  CurrentPass(const CurrentPass&) = delete;
  CurrentPass& operator=(const CurrentPass&) = delete;

  bool enter() {
    entered_ = control_.begin(*input_, arrival_);
    return entered_;
  }

  // False when the lock could not be had. The stream may then still be the one a stop reaches,
  // so it is closed but never freed: a late stop must find memory it may write to.
  bool leave() {
    if (!entered_) return true;
    entered_ = false;
    if (control_.end(*input_)) return true;
    input_->close();
    static_cast<void>(input_.release());
    return false;
  }

 private:
  PassControl& control_;
  const PassControl::Arrival arrival_;
  std::unique_ptr<SoundStream>& input_;
  bool entered_ = false;
};

}  // namespace

int32_t timeScale(const TimeScaleJob& job, PassControl& control, PassControl::Arrival arrival, SamplePlayer* player) {
  if (!job.inputPath) return kCannotOpen;
  std::unique_ptr<SoundStream> input = SoundStream::openRead(job.inputPath);
  if (!input || input->lastError() != kOk) return kCannotOpen;

  VocoderSizes sizes;
  if (computeVocoderSizes(job.pitchFactor, job.timeFactor, job.fftSize, job.windowMode, sizes) != kOk) {
    return kBadCall;
  }
  VocoderSettings settings;
  settings.pitchFactor = job.pitchFactor;
  settings.timeFactor = job.timeFactor;
  settings.fftSize = job.fftSize;
  settings.windowMode = job.windowMode;
  const bool choosesChannel = job.channelChoice == 1 || job.channelChoice == 2;
  settings.channelChoice = input->channels() == 2 && choosesChannel ? job.channelChoice : 0;

  CurrentPass current(control, arrival, input);
  if (!current.enter()) return kCannotOpen;

  // All the pass's memory before the output is opened, which replaces a file of that name.
  VocoderPass pass;
  if (const int32_t prepared = pass.prepare(*input, settings); prepared != kOk) return prepared;

  std::unique_ptr<SoundStream> output;
  if (job.outputPath) {
    // Writing the output over the input would destroy the samples still to be read.
    if (sameFile(job.inputPath, job.outputPath)) return kCannotOpen;
    // The input's sample size, or 16 bits for companded samples, which decode to that many.
    const SampleFormat format = SampleFormat::make(input->sampleRate(), linearSampleBytes(input->format()), kUnset, 1);
    output = SoundStream::openWrite(format, job.outputPath, input->typeFound());
    if (!output || output->lastError() != kOk) return kCannotOpen;
  }

  int32_t result = pass.run(output.get(), player);
  if (!current.leave()) result = kCannotOpen;
  if (output) {
    const int32_t closed = output->close();
    if (closed != kOk && (result == kOk || result == kEndOfFile)) result = closed;
  }
  return result;
}

}  // namespace kv
