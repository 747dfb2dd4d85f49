#pragma once

#include "platform/audio/Format.h"
#include "platform/mci/MciTypes.h"

#include <QString>

namespace kv {
class SoundStream;
}

namespace lentaro::mci {

// Writes a sound stream's frames, from its start, as a wave file of `format` at `path`. The file
// is written under a hidden name beside it and renamed over `path` once whole, so `path` holds
// the old file or the new one, never part of either.
Outcome saveWave(kv::SoundStream& source, const audio::Format& format, const QString& path);

} // namespace lentaro::mci
