#include "platform/cd/FrameReader.h"

namespace lentaro::cd {

FrameRead FrameReader::read(Lsn lsn, int count, std::uint8_t* frames, const std::atomic<bool>& stop)
{
    if (count <= 0)
        return {};
    if (m_toc.audioRunEnd(lsn) - static_cast<std::int64_t>(lsn) < count) {
        return {0, ReadProblem::OutsideAudio,
                "frames " + std::to_string(lsn) + " to " + std::to_string(lsn + count - 1)
                    + " are not all audio on this disc"};
    }
    return readFrames(lsn, count, frames, stop);
}

} // namespace lentaro::cd
