#include "platform/wavesection/WaveSection.h"

#include "platform/wavesection/ReplacementFile.h"

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>
#include <vector>

namespace lentaro::wavesection {

namespace {

// floor(ms × rate / 1000) without overflow for any 32-bit time and header rate; 0 before the start.
std::int64_t frameAt(std::int32_t ms, std::int64_t rate)
{
    if (ms <= 0)
        return 0;
    return std::int64_t(ms) / 1000 * rate + std::int64_t(ms) % 1000 * rate / 1000;
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

// Copies frames [first, end) of in to out: 0, or the CutFailure of the side that failed.
std::int32_t copyFrames(kv::SoundStream& in, std::int64_t first, std::int64_t end,
                        kv::SoundStream& out)
{
    if (in.seekFrame(first) != kv::kOk)
        return SourceUnreadable;
    const std::int64_t channels = in.channels();
    const std::int64_t blockFrames = std::max<std::int64_t>(1, 65536 / channels);
    std::vector<std::int32_t> block(std::size_t(blockFrames * channels));
    for (std::int64_t frame = first; frame < end;) {
        const std::int64_t samples = std::min(blockFrames, end - frame) * channels;
        std::int64_t delivered = 0;
        // The file's length was read from its size: a short read means it shrank or failed.
        if (in.read(block.data(), samples, delivered) != kv::kOk || delivered != samples)
            return SourceUnreadable;
        if (out.write(block.data(), samples) != kv::kOk)
            return DestinationUnwritable;
        frame += samples / channels;
    }
    return 0;
}

std::int32_t cutSection(const std::string& source, const std::string& destination,
                        std::int32_t startMs, std::int32_t endMs)
{
    const std::unique_ptr<kv::SoundStream> in = kv::SoundStream::openRead(source, kv::kFileTypeWav);
    if (!in)
        return OutOfMemory;
    if (in->lastError() != kv::kOk)
        return SourceUnreadable;
    if (sameFile(source, destination))
        return DestinationIsSource;

    const std::int64_t rate = std::int64_t(in->sampleRate());
    const std::int64_t frames = in->length() / in->channels();
    const std::int64_t first = std::min(frameAt(startMs, rate), frames);
    const std::int64_t end = std::min(frameAt(endMs, rate), frames);
    if (first >= end)
        return EmptySection;

    ReplacementFile file(destination);
    if (!file.isOpen())
        return DestinationUnwritable;
    const std::unique_ptr<kv::SoundStream> out =
        kv::SoundStream::openWrite(in->format(), file.temporaryPath(), kv::kFileTypeWav);
    if (!out)
        return OutOfMemory;
    if (out->lastError() != kv::kOk)
        return DestinationUnwritable;
    const std::int32_t copied = copyFrames(*in, first, end, *out);
    if (copied != 0)
        return copied;
    if (out->close() != kv::kOk || !file.commit())
        return DestinationUnwritable;
    return in->channels();
}

} // namespace

std::int32_t cut(const std::string& source, const std::string& destination, std::int32_t startMs,
                 std::int32_t endMs)
{
    try {
        return cutSection(source, destination, startMs, endMs);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

} // namespace lentaro::wavesection
