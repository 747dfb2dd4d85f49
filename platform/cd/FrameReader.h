#pragma once

#include "platform/cd/Toc.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace lentaro::cd {

enum class ReadProblem {
    None,
    OutsideAudio, // the range is not all audio of the disc that was opened
    DiscRemoved,  // the disc left the drive (ejected, image deleted or replaced)
    Unreadable,   // sectors that could not be read, or an image that ends early
    Stopped,      // the caller's stop flag was set
};

struct FrameRead {
    int frames = 0; // read whole, from the first one asked for
    ReadProblem problem = ReadProblem::None;
    std::string detail; // why, for a message
};

// Audio frames of the disc that was in a drive when the reader was made. The reader holds the
// drive (or image) open for as long as it lives, so callers keep it only while they read.
class FrameReader
{
public:
    explicit FrameReader(Toc toc) : m_toc(std::move(toc)) {}
    virtual ~FrameReader() = default;
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    // The table of contents when the reader was made; every read is checked against it.
    const Toc& toc() const { return m_toc; }

    // Reads count frames from lsn into frames (count × bytesPerFrame bytes, 16-bit little-endian
    // stereo). The range must be one run of audio (Toc::audioRunEnd); anything else is refused
    // with OutsideAudio and nothing is read. A set stop flag ends the read between sectors.
    FrameRead read(Lsn lsn, int count, std::uint8_t* frames, const std::atomic<bool>& stop);

    // False once the disc that was opened is no longer in the drive.
    virtual bool discStillThere() = 0;

protected:
    virtual FrameRead readFrames(Lsn lsn, int count, std::uint8_t* frames,
                                 const std::atomic<bool>& stop) = 0;

private:
    Toc m_toc;
};

} // namespace lentaro::cd
