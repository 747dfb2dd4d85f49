#include "waveview/tempwav.h"

#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "waveview/largepages.h"

#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace lentaro {

namespace {

constexpr std::int64_t readBlock = 1 << 18;

[[noreturn]] void cannotRead(const QString& path, std::int32_t code)
{
    if (!QFileInfo::exists(path))
        throw RuntimeError(errorNumbers::fileNotFound, QStringLiteral("File not found: ") + path);
    throw RuntimeError(errorNumbers::invalidFileFormat,
                       QStringLiteral("%1 cannot be read as a sound file (%2)")
                           .arg(path, QString::fromUtf8(kv::resultText(code))));
}

} // namespace

TempWav readTempWav(const QString& path, int step)
{
    auto stream = kv::SoundStream::openRead(path.toStdString());
    if (!stream)
        throw RuntimeError(7);
    if (stream->lastError() != kv::kOk)
        cannotRead(path, stream->lastError());
    const std::int64_t samples = stream->length();
    if (samples <= 0)
        throw RuntimeError(errorNumbers::invalidFileFormat,
                           path + QStringLiteral(" holds no samples"));

    std::vector<std::int16_t> points;
    points.reserve(static_cast<std::size_t>((samples - 1) / step));
    preferLargePages(points.data(), points.capacity() * sizeof(std::int16_t));
    points.resize(points.capacity());
    std::int16_t* point = points.data();
    std::int16_t* const pointsEnd = point + points.size();
    std::vector<std::int32_t> block(readBlock);
    std::int64_t skip = 1; // sample value 0 is no point
    for (;;) {
        std::int64_t got = 0;
        const std::int32_t result = stream->readEvery(block.data(), readBlock, step, got);
        got = std::min(got, skip + (pointsEnd - point));
        for (std::int64_t i = skip; i < got; ++i)
            *point++ = static_cast<std::int16_t>(block[std::size_t(i)] >> 16);
        skip = 0;
        if (result == kv::kEndOfFile)
            break;
        if (result != kv::kOk)
            cannotRead(path, result);
    }
    // A file shorter than its header says keeps the points it has.
    points.resize(static_cast<std::size_t>(point - points.data()));

    TempWav wav;
    wav.series = WaveSeries(std::move(points), step);
    wav.samplesPerMs = stream->sampleRate() / 1000.0;
    wav.channels = stream->channels();
    return wav;
}

} // namespace lentaro
