#include "engine/brennic.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "engine/channel_conversion.h"
#include "engine/same_file.h"
#include "engine/vocoder.h"
#include "engine/vocoder_sizes.h"
#include "soundfile/file_types.h"
#include "soundfile/guarded_call.h"
#include "soundfile/result_codes.h"
#include "soundfile/sample_format.h"
#include "soundfile/sound_stream.h"

namespace kv {

namespace {

// The mono file a stereo input is mixed into before the pass. Removed on every way out, but only
// once it has been made: a file of that name the pass could not replace is not its to delete.
class WorkingFile {
 public:
  explicit WorkingFile(std::string path) : path_(std::move(path)) {}
  ~WorkingFile() {
    if (made_) std::remove(path_.c_str());
  }
  WorkingFile(const WorkingFile&) = delete;
  WorkingFile& operator=(const WorkingFile&) = delete;

  const std::string& path() const { return path_; }
  void made() { made_ = true; }

 private:
  const std::string path_;
  bool made_ = false;
};

// AIFC is read only; its uncompressed samples are written as plain AIFF.
int writableType(int typeFound) { return typeFound == kFileTypeAifc ? kFileTypeAiff : typeFound; }

// Mixes a stereo input into the working file and opens that for reading; null when any step
// fails. The mix keeps only the upper 16 bits of each sample, so a 16-bit WAV file holds it
// whole whatever the input's type and sample size.
std::unique_ptr<SoundStream> mixToMono(SoundStream& stereo, WorkingFile& working) {
  std::unique_ptr<SoundStream> mono = SoundStream::openWrite(
      SampleFormat::make(stereo.sampleRate(), 2, kEncodingSigned, 1), working.path(), kFileTypeWav);
  if (!mono || mono->lastError() != kOk) return nullptr;
  working.made();
  const int32_t mixed = convertChannels(stereo, *mono);
  // An input holding less than its header claims ends where its data ends.
  if (mixed != kOk && mixed != kEndOfFile) return nullptr;
  if (mono->close() != kOk) return nullptr;
  std::unique_ptr<SoundStream> reopened = SoundStream::openRead(working.path(), kFileTypeWav);
  if (!reopened || reopened->lastError() != kOk) return nullptr;
  return reopened;
}

int32_t scaleFileToFile(const char* inputPath, double timeFactor, int fftSize, int windowMode, const char* outputPath) {
  if (!inputPath || !outputPath) return kCannotOpen;
  VocoderSettings settings;
  settings.pitchFactor = 1.0;
  settings.timeFactor = timeFactor;
  settings.fftSize = fftSize;
  settings.windowMode = windowMode;

  // Declared before the streams so that it outlives them: the working file is closed before it
  // is removed, whichever way the pass ends.
  WorkingFile working(std::string(inputPath) + ".mono.tmp");
  std::unique_ptr<SoundStream> input = SoundStream::openRead(inputPath);
  if (!input || input->lastError() != kOk) return kCannotOpen;
  // Settings no pass can run with are refused before any file is made or replaced.
  VocoderSizes sizes;
  if (computeVocoderSizes(settings.pitchFactor, settings.timeFactor, settings.fftSize, settings.windowMode, sizes) !=
      kOk) {
    return kBadCall;
  }

  const bool stereo = input->channels() == 2;
  // Writing the output over a file the pass still reads would destroy the samples to come.
  if (sameFile(outputPath, inputPath) || (stereo && sameFile(outputPath, working.path()))) return kCannotOpen;
  // The input's sample size, or 16 bits for companded samples, which decode to that many.
  const SampleFormat outputFormat =
      SampleFormat::make(input->sampleRate(), linearSampleBytes(input->format()), kUnset, 1);
  const int outputType = writableType(input->typeFound());

  if (stereo) {
    std::unique_ptr<SoundStream> mono = mixToMono(*input, working);
    if (!mono) return kCannotOpen;
    input = std::move(mono);
  }

  // All the pass's memory before the output is opened, which replaces a file of that name.
  VocoderPass pass;
  if (const int32_t prepared = pass.prepare(*input, settings); prepared != kOk) return prepared;

  std::unique_ptr<SoundStream> output = SoundStream::openWrite(outputFormat, outputPath, outputType);
  if (!output || output->lastError() != kOk) return kCannotOpen;

  int32_t result = pass.run(output.get(), nullptr);
  const int32_t closed = output->close();
  if (closed != kOk && (result == kOk || result == kEndOfFile)) result = closed;
  return result;
}

}  // namespace

}  // namespace kv

extern "C" int32_t kv_TimeScale(const char* inputPath, double timeFactor, int16_t fftSize, int16_t windowMode,
                                const char* outputPath) {
  return kv::guardedCall([&] { return kv::scaleFileToFile(inputPath, timeFactor, fftSize, windowMode, outputPath); },
                         kv::kOutOfMemory, kv::kInternalError);
}
