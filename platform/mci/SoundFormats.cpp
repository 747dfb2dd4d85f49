#include "platform/mci/SoundFormats.h"

#include "soundfile/sample_format.h"
#include "soundfile/sound_stream.h"

#include <cmath>

namespace lentaro::mci {

namespace {

int roundedRate(const kv::SoundStream& stream)
{
    const float rate = stream.sampleRate();
    return rate >= 1 && rate <= 1e9f ? static_cast<int>(std::lround(rate)) : 0;
}

} // namespace

audio::Format playedFormat(const kv::SoundStream& stream)
{
    const bool companded =
        stream.encoding() == kv::kEncodingMuLaw || stream.encoding() == kv::kEncodingALaw;
    const int bits = companded ? 16 : 8 * kv::storedSampleBytes(stream.bytesPerSample());
    return {stream.channels(), roundedRate(stream), bits, audio::Encoding::Pcm};
}

QString whyUnplayable(const kv::SoundStream& stream)
{
    const audio::Status status = audio::checkOutputFormat(playedFormat(stream));
    return status.ok() ? QString() : QString::fromStdString(status.detail);
}

audio::Format engineFormat(const audio::Format& format)
{
    return {format.channels, format.sampleRate, 32, audio::Encoding::Pcm};
}

std::vector<audio::Format> outputCandidates(const audio::Format& played)
{
    std::vector<audio::Format> candidates{played};
    const auto add = [&](const audio::Format& format) {
        if (format != candidates.back() && format != candidates.front())
            candidates.push_back(format);
    };
    add({played.channels, played.sampleRate, 16, audio::Encoding::Pcm});
    add({2, played.sampleRate, 16, audio::Encoding::Pcm});
    return candidates;
}

audio::Format recordingFormat(const WaveFormat& block, QString& whyNot)
{
    const audio::Format format{block.channels, block.samplesPerSec, block.bitsPerSample,
                               audio::Encoding::Pcm};
    whyNot.clear();
    if (block.formatTag != 1) {
        whyNot = QStringLiteral("Recordings are PCM (format tag 1), not format tag %1.")
                     .arg(block.formatTag);
    } else if (block.bitsPerSample != 8 && block.bitsPerSample != 16 && block.bitsPerSample != 24) {
        whyNot =
            QStringLiteral("Recordings have 8, 16 or 24 bits, not %1.").arg(block.bitsPerSample);
    } else if (const audio::Status status = audio::checkInputFormat(format); !status.ok()) {
        whyNot = QString::fromStdString(status.detail);
    } else if (block.blockAlign != format.bytesPerFrame()
               || static_cast<long long>(block.avgBytesPerSec)
                      != static_cast<long long>(block.blockAlign) * block.samplesPerSec) {
        whyNot = QStringLiteral("A block align of %1 and %2 bytes a second do not fit %3-bit "
                                "samples in %4 channels at %5 Hz.")
                     .arg(block.blockAlign)
                     .arg(block.avgBytesPerSec)
                     .arg(block.bitsPerSample)
                     .arg(block.channels)
                     .arg(block.samplesPerSec);
    }
    return format;
}

} // namespace lentaro::mci
