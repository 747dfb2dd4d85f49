#include "tests/platform/cd/support/wave_contents.h"

#include "tests/platform/cd/support/cd_image_writer.h"

#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

namespace lentaro::cd::test {

WaveContents readWave(const std::filesystem::path& file)
{
    WaveContents contents;
    std::unique_ptr<kv::SoundStream> in = kv::SoundStream::openRead(file.string());
    if (!in || in->lastError() != kv::kOk) {
        contents.error = in ? in->lastError() : kv::kOutOfMemory;
        return contents;
    }
    contents.channels = in->channels();
    contents.sampleRate = in->sampleRate();
    contents.bytesPerSample = in->bytesPerSample();
    std::vector<std::int32_t> samples(static_cast<std::size_t>(in->length()));
    std::int64_t got = 0;
    const std::int32_t result = in->read(samples.data(), in->length(), got);
    contents.error = result == kv::kEndOfFile ? kv::kOk : result;
    if (contents.channels == 2) {
        for (std::int64_t at = 0; at + 1 < got; at += 2) {
            contents.indices.push_back(
                sampleIndexOf(static_cast<std::int16_t>(samples[at] >> 16),
                              static_cast<std::int16_t>(samples[at + 1] >> 16)));
        }
    }
    return contents;
}

::testing::AssertionResult holdsSamplesFrom(const std::vector<std::int64_t>& indices,
                                            std::int64_t first)
{
    for (std::size_t at = 0; at < indices.size(); ++at) {
        if (indices[at] != first + static_cast<std::int64_t>(at))
            return ::testing::AssertionFailure()
                   << "sample " << at << " carries disc sample " << indices[at] << ", not "
                   << first + static_cast<std::int64_t>(at);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult holdsSamples(const std::vector<std::int64_t>& indices,
                                        std::int64_t first, std::int64_t end)
{
    if (static_cast<std::int64_t>(indices.size()) != end - first)
        return ::testing::AssertionFailure() << indices.size() << " samples, not " << end - first;
    return holdsSamplesFrom(indices, first);
}

} // namespace lentaro::cd::test
