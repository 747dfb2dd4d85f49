#pragma once

#include "cd/cdsidecontrols.h"

namespace lentaro {

class CdSideHost;
class CdSideLoops;

namespace cd {
class DigitalReader;
}

// Makes temp.wav for a loop of the CD, at its recorded speed: digitally through the reader
// (RecordMode other than 2) or by recording what the CD device plays (RecordMode 2). A capture
// that works ends in the "SlowPlay" view, where AutoSlow starts the slowed play; temp.wav's
// channel count and the expansion factor change only once a capture is under way.
class CdLoopCapture
{
public:
    CdLoopCapture(const CdSideControls& controls, CdSideHost& host, CdSideLoops& loops,
                  cd::DigitalReader& ACD1);

    void recordCurrentLoop();
    // Records temp.wav with the wave device while the CD device plays the loop; the wave
    // device's Done saves it.
    void makeAnalogRecording();
    // Has the reader copy the loop into temp.wav; the read's end (the reader's ReadComplete or
    // Failure, answered by RecordReaderEvents) closes the progress window.
    void makeDigitalRecording();

private:
    enum class Read { accepted, refused };
    Read readLoop(int track, int start, int length);
    Read retryRefusedRead(int track, int start, int length);
    void readAccepted();

    CdSideControls c_;
    CdSideHost& host_;
    CdSideLoops& loops_;
    cd::DigitalReader& ACD1_;
};

} // namespace lentaro
