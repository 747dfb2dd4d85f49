#pragma once
// Resampling of 16-bit sound from one sample rate to another through a Kaiser-windowed sinc filter
// held as a fixed-point table of 120 points per input frame. Output frame n lies exactly
// n × input rate / output rate input frames from the start; when that falls between table points
// the coefficients are interpolated linearly. Each phase of the filter sums to exactly 1, so a
// constant input comes out unchanged. Results are clipped to ±32767.
//
//   // 48 kHz stereo in memory to 44.1 kHz mono:
//   int32_t result = kv::convertSampleRate(*in, *out, 1.0f, 1.0f, 44100.0f, 1.0f);

#include <cstdint>

#include "soundfile/sound_stream.h"

namespace kv {

// How a conversion between two rates is carried out, derived from the rates and the filter's
// length factor. Table points: 120 to an input frame.
struct SampleRateConversion {
  float step = 0.0f;             // table points the input advances per output frame
  int32_t wholeStep = 0;         // step truncated
  bool integerStepping = false;  // every output frame falls on a table point
  int32_t filterScale = 0;       // 120, or wholeStep when lowering the rate (the cutoff follows the output)
  int32_t filterPoints = 0;      // points of the windowed sinc, 10 × filterScale × length factor + 1
  int32_t halfLength = 0;        // table points from the centre to the window's end
  int32_t tapsPerFrame = 0;      // input frames weighed for each output frame
  // The input's advance per output frame as an exact fraction of frames, both terms below 2^31.
  int64_t advanceNumerator = 0;
  int64_t advanceDenominator = 1;
};

// Fills plan for converting inputRate to outputRate. kBadCall for a rate that is not a positive
// number, rates more than 64 times apart, a cutoff outside (0, 1], or a length factor that gives
// a filter shorter than one input frame each side or longer than 1024 taps.
int32_t planSampleRateConversion(float inputRate, float outputRate, float lengthFactor, float cutoff,
                                 SampleRateConversion& plan);

// Reads the whole of in (1 or 2 channels) from its start and appends the converted sound to out
// (1 or 2 channels: stereo to mono averages the filtered channels, mono to stereo writes each frame
// to both). lengthFactor stretches the filter, cutoff scales its cutoff frequency (1 = about the
// lower of the two rates' Nyquist frequencies) and gain (at most 256 either way) multiplies the
// input. Returns kOk; kEndOfFile when the input held fewer samples than its length (it ends at its
// last whole frame, and everything up to there is written); kBadCall for unusable arguments (see
// the plan), an input that cannot be read, an output that cannot be written, or one stream passed
// as both; kOutOfMemory; or the code of the first failed read or write (what was written before it
// stays). An input of 0 frames writes nothing.
int32_t convertSampleRate(SoundStream& in, SoundStream& out, float lengthFactor, float cutoff, float outputRate,
                          float gain);

}  // namespace kv
