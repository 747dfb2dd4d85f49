#pragma once

#include "platform/cd/CdTime.h"

#include <vector>

namespace lentaro::cd {

struct TocTrack {
    int number = 0;
    Lsn start = 0;  // INDEX 01
    Lsn pregap = 0; // INDEX 00; the start when the track has no pregap
    bool audio = true;
};

// A disc's table of contents. A track runs from its start to the next track's start (the next
// track's pregap belongs to it, as the CD device counts), the last one to the lead-out. Audio
// never runs into a data track: it stops where the data track's pregap begins. An empty table
// is a drive without a disc.
struct Toc {
    std::vector<TocTrack> tracks; // in disc order
    Lsn leadOut = 0;

    bool empty() const { return tracks.empty(); }
    int firstTrack() const; // 0 when empty
    int lastTrack() const;  // 0 when empty
    const TocTrack* track(int number) const;
    // Where the track ends: the next track's start or the lead-out.
    Lsn end(int number) const;
    // How far audio runs on without a break from lsn, across track boundaries: up to the first
    // following data track's pregap or the lead-out. lsn itself when that frame is no audio.
    Lsn audioRunEnd(Lsn lsn) const;
};

// The table of contents of an image whose data holds only framesPresent frames: the lead-out
// comes no later than the data's end, and tracks that start after it are gone.
Toc clampedToFrames(Toc toc, Lsn framesPresent);

} // namespace lentaro::cd
