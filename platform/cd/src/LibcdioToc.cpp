#include "platform/cd/src/LibcdioToc.h"

#include <algorithm>

namespace lentaro::cd {

Toc tocFromCdio(CdIo_t* cdio)
{
    Toc toc;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0)
        return toc;
    for (int number = first; number < first + count; ++number) {
        const auto track = static_cast<track_t>(number);
        const lsn_t start = cdio_get_track_lsn(cdio, track);
        if (start == CDIO_INVALID_LSN)
            return {};
        const lsn_t pregap = cdio_get_track_pregap_lsn(cdio, track);
        const Lsn previousStart = toc.tracks.empty() ? 0 : toc.tracks.back().start;
        const Lsn pregapStart =
            pregap == CDIO_INVALID_LSN
                ? start
                : std::max(std::min(pregap, start), std::min(previousStart, start));
        toc.tracks.push_back(
            {number, start, pregapStart, cdio_get_track_format(cdio, track) == TRACK_FORMAT_AUDIO});
    }
    toc.leadOut = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (toc.leadOut == CDIO_INVALID_LSN)
        return {};
    return toc;
}

} // namespace lentaro::cd
