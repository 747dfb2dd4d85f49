#pragma once

#include "cd/cdsidecontrols.h"
#include "platform/forms/prompts.h"

#include <QString>

namespace lentaro {

class CdSideHost;
class RecordReaderEvents;

namespace cd {
class DigitalReader;
}

// The question before a whole track is copied: the track's length in minutes ("#0.0", halves
// away from zero) and the disc space it needs at 10 MB a minute (halves to even).
QString copyTrackQuestion(const QString& trackName, int lengthMs);

// The track grid's "Record Digitally to Hard Disk": copies the grid's current track whole into a
// wave file the user names, through the digital reader. Each way out but an accepted read leaves
// the main window usable, the pointer as it was and the CD device open; once a read is accepted
// the read's end does that.
class TrackRecording
{
public:
    TrackRecording(const CdSideControls& controls, CdSideHost& host, cd::DigitalReader& ACD1,
                   RecordReaderEvents& events);

    void mnuDigitalRec_Click();

    // The save dialog, as the user last left it.
    forms::FileDialogRequest dlgRecordTrack;

private:
    enum class Attempt { accepted, refused, ended };
    Attempt attempt();
    void reopenCdDevice();

    CdSideControls c_;
    CdSideHost& host_;
    cd::DigitalReader& ACD1_;
    RecordReaderEvents& events_;
};

} // namespace lentaro
