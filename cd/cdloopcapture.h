#pragma once

#include <functional>

namespace lentaro {

class frmMain;

namespace cd {
class DigitalReader;
}

// The current loop's in and out points (ms on the CD device's scale) as the loop side works
// them out; true when the loop has a problem, already shown to the user.
using LoopInAndOutPoints = std::function<bool(int& inPt, int& outPt)>;

// Makes temp.wav for a loop of the CD, at its recorded speed: digitally through the reader
// (RecordMode other than 2) or by recording what the CD device plays (RecordMode 2). A capture
// that works ends in the "SlowPlay" view, where AutoSlow starts the slowed play; temp.wav's
// channel count and the expansion factor change only once a capture is under way.
class CdLoopCapture
{
public:
    CdLoopCapture(frmMain& main, cd::DigitalReader& ACD1, LoopInAndOutPoints calcInAndOutPoints);

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

    frmMain& main_;
    cd::DigitalReader& ACD1_;
    LoopInAndOutPoints calcInAndOutPoints_;
};

} // namespace lentaro
