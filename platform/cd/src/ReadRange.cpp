#include "platform/cd/src/ReadRange.h"

#include <algorithm>

namespace lentaro::cd {

namespace {

std::int64_t firstSampleOf(Lsn lsn)
{
    return static_cast<std::int64_t>(lsn) * samplesPerFrame;
}

// The track, when it exists and holds audio.
const TocTrack* audioTrack(const Toc& toc, int number, ReaderError& error)
{
    const TocTrack* track = toc.track(number);
    if (!track)
        error = ReaderError::NoSuchTrack;
    else if (!track->audio)
        error = ReaderError::NotAudio;
    return error == ReaderError::None ? track : nullptr;
}

} // namespace

RangeChoice wholeTrackRange(const Toc& toc, int number)
{
    RangeChoice choice;
    const TocTrack* track = audioTrack(toc, number, choice.error);
    if (!track)
        return choice;
    const Lsn end = std::min(toc.end(number), toc.audioRunEnd(track->start));
    if (end <= track->start)
        return {{}, ReaderError::OutsideAudio};
    choice.range = {firstSampleOf(track->start), firstSampleOf(end)};
    return choice;
}

RangeChoice sectionRange(const Toc& toc, int number, std::int64_t startMs, std::int64_t lengthMs)
{
    RangeChoice choice;
    const TocTrack* track = audioTrack(toc, number, choice.error);
    if (!track)
        return choice;
    if (startMs < 0 || lengthMs < 1)
        return {{}, ReaderError::OutsideAudio};
    const std::int64_t trackMs = msAtLsn(track->start);
    const std::int64_t audioEnd = firstSampleOf(toc.audioRunEnd(track->start));
    // The track's start in ms is rounded down: its first samples would fall before the track.
    const std::int64_t first = std::max(sampleAtMs(trackMs + startMs), firstSampleOf(track->start));
    const std::int64_t end = std::min(sampleAtMs(trackMs + startMs + lengthMs), audioEnd);
    if (first >= end)
        return {{}, ReaderError::OutsideAudio};
    choice.range = {first, end};
    return choice;
}

} // namespace lentaro::cd
