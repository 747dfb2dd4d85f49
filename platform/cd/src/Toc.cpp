#include "platform/cd/Toc.h"

#include <algorithm>

namespace lentaro::cd {

namespace {

// The index of the track a frame belongs to; frames before the first track's start belong to
// the first track.
std::size_t trackIndexAt(const Toc& toc, Lsn lsn)
{
    std::size_t index = 0;
    while (index + 1 < toc.tracks.size() && toc.tracks[index + 1].start <= lsn)
        ++index;
    return index;
}

bool isAudioFrame(const Toc& toc, Lsn lsn)
{
    if (toc.empty() || lsn < 0 || lsn >= toc.leadOut)
        return false;
    const std::size_t index = trackIndexAt(toc, lsn);
    if (!toc.tracks[index].audio)
        return false;
    const bool nextIsData = index + 1 < toc.tracks.size() && !toc.tracks[index + 1].audio;
    return !(nextIsData && lsn >= toc.tracks[index + 1].pregap);
}

} // namespace

int Toc::firstTrack() const
{
    return empty() ? 0 : tracks.front().number;
}

int Toc::lastTrack() const
{
    return empty() ? 0 : tracks.back().number;
}

const TocTrack* Toc::track(int number) const
{
    for (const TocTrack& entry : tracks) {
        if (entry.number == number)
            return &entry;
    }
    return nullptr;
}

Lsn Toc::end(int number) const
{
    for (std::size_t index = 0; index < tracks.size(); ++index) {
        if (tracks[index].number == number)
            return index + 1 < tracks.size() ? tracks[index + 1].start : leadOut;
    }
    return 0;
}

Lsn Toc::audioRunEnd(Lsn lsn) const
{
    if (!isAudioFrame(*this, lsn))
        return lsn;
    for (std::size_t index = trackIndexAt(*this, lsn) + 1; index < tracks.size(); ++index) {
        if (!tracks[index].audio)
            return tracks[index].pregap;
    }
    return leadOut;
}

Toc clampedToFrames(Toc toc, Lsn framesPresent)
{
    toc.leadOut = std::clamp(framesPresent, 0, toc.leadOut);
    const auto gone =
        std::find_if(toc.tracks.begin(), toc.tracks.end(),
                     [&](const TocTrack& track) { return track.start >= toc.leadOut; });
    toc.tracks.erase(gone, toc.tracks.end());
    if (toc.tracks.empty())
        toc.leadOut = 0;
    return toc;
}

} // namespace lentaro::cd
