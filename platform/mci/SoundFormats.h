#pragma once

#include "platform/audio/Format.h"
#include "platform/mci/MciTypes.h"

#include <QString>

#include <vector>

namespace kv {
class SoundStream;
}

namespace lentaro::mci {

// The shape a sound stream's frames take on their way to an output: its channels and rate, and
// its samples as PCM of their stored width (mu-law and A-law as 16-bit).
audio::Format playedFormat(const kv::SoundStream& stream);

// Why a sound stream cannot be played, or "" when it can: one or two channels at a rate a
// sound device takes.
QString whyUnplayable(const kv::SoundStream& stream);

// The same channels and rate with 32-bit PCM samples, as the sound-file core reads them.
audio::Format engineFormat(const audio::Format& format);

// The output formats to try for a sound, best first: its own, 16-bit, then 16-bit stereo; all of
// its rate, so that frames heard are frames of the sound.
std::vector<audio::Format> outputCandidates(const audio::Format& played);

// The device format a recording format block asks for, or why none: PCM of 8, 16 or 24 bits,
// one or two channels, a rate an input takes, and a block align and byte rate that agree.
audio::Format recordingFormat(const WaveFormat& block, QString& whyNot);

} // namespace lentaro::mci
