#pragma once

#include "platform/cd/FrameReader.h"
#include "platform/cd/ReaderError.h"
#include "platform/cd/src/ReadRange.h"
#include "platform/cd/src/SharedWaveOutput.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace lentaro::cd {

// When a read last moved on; written by the reading thread, watched from another.
class ReadProgress
{
public:
    ReadProgress() { stamp(); }
    void stamp();
    std::chrono::steady_clock::duration sinceLastStamp() const;

private:
    std::atomic<std::chrono::steady_clock::rep> m_stamp{0};
};

// Copies the samples of range from reader into out (a 16-bit stereo file), a second of frames at
// a time, stamping progress after each piece. Ends early, with the reason, when stop is set
// (Aborted), the disc leaves the drive (DiscRemoved), frames cannot be read (Unreadable) or the
// file cannot be written (CannotWrite); the text says what happened, without naming the drive.
ReaderFault copyAudio(FrameReader& reader, SampleRange range, SharedWaveOutput& out,
                      const std::atomic<bool>& stop, ReadProgress& progress);

} // namespace lentaro::cd
