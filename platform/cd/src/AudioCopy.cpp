#include "platform/cd/src/AudioCopy.h"

#include "soundfile/result_codes.h"
#include "soundfile/sample_format.h"
#include "soundfile/sample_packing.h"

#include <algorithm>
#include <vector>

namespace lentaro::cd {

namespace {

constexpr int piece = framesPerSecond;

ReaderFault faultOf(const FrameRead& read)
{
    switch (read.problem) {
    case ReadProblem::None:
        return {};
    case ReadProblem::Stopped:
        return {ReaderError::Aborted, "the read was stopped"};
    case ReadProblem::DiscRemoved:
        return {ReaderError::DiscRemoved, "the disc was taken out during the read"};
    case ReadProblem::OutsideAudio:
        return {ReaderError::OutsideAudio, read.detail};
    case ReadProblem::Unreadable:
        break;
    }
    return {ReaderError::Unreadable, read.detail};
}

} // namespace

void ReadProgress::stamp()
{
    m_stamp = std::chrono::steady_clock::now().time_since_epoch().count();
}

std::chrono::steady_clock::duration ReadProgress::sinceLastStamp() const
{
    return std::chrono::steady_clock::now().time_since_epoch()
           - std::chrono::steady_clock::duration(m_stamp.load());
}

ReaderFault copyAudio(FrameReader& reader, SampleRange range, SharedWaveOutput& out,
                      const std::atomic<bool>& stop, ReadProgress& progress)
{
    const kv::SamplePacking* littleEndian16 = kv::findSamplePacking(2, kv::kEncodingSigned, false);
    std::vector<std::uint8_t> frames(static_cast<std::size_t>(piece) * bytesPerFrame);
    std::vector<std::int32_t> samples(static_cast<std::size_t>(piece) * samplesPerFrame * 2);
    std::int64_t next = range.first;
    while (next < range.end) {
        if (stop)
            return faultOf({0, ReadProblem::Stopped, {}});
        if (!reader.discStillThere())
            return faultOf({0, ReadProblem::DiscRemoved, {}});
        const auto lsn = static_cast<Lsn>(next / samplesPerFrame);
        const std::int64_t framesLeft =
            (range.end - static_cast<std::int64_t>(lsn) * samplesPerFrame + samplesPerFrame - 1)
            / samplesPerFrame;
        const int count = static_cast<int>(std::min<std::int64_t>(piece, framesLeft));
        const FrameRead read = reader.read(lsn, count, frames.data(), stop);
        const std::int64_t readEnd =
            std::min(range.end, (static_cast<std::int64_t>(lsn) + read.frames) * samplesPerFrame);
        if (readEnd > next) {
            const std::size_t skipped = static_cast<std::size_t>(next % samplesPerFrame) * 2;
            const std::size_t values = static_cast<std::size_t>(readEnd - next) * 2;
            kv::unpackSamples(*littleEndian16, frames.data() + skipped * 2, samples.data(), values);
            if (const std::int32_t written =
                    out.append(samples.data(), static_cast<std::int64_t>(values));
                written != kv::kOk)
                return {ReaderError::CannotWrite, kv::resultText(written)};
            next = readEnd;
        }
        progress.stamp();
        if (read.problem != ReadProblem::None)
            return faultOf(read);
        if (read.frames == 0)
            return faultOf({0, ReadProblem::Unreadable, "the drive returned no frames"});
    }
    return {};
}

} // namespace lentaro::cd
