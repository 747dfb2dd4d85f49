#pragma once

namespace lentaro {

// The loop side's procedures the CD side calls.
class CdSideLoops
{
public:
    virtual ~CdSideLoops() = default;

    // Plays the selected loop slowed down (F7).
    virtual void btnLoopPlay_Click() = 0;
    // Plays the current loop once more; recalc first works out its in and out points again.
    virtual void playLoop(bool recalc) = 0;
    // The current loop's in and out points (ms on the CD device's scale); true when the loop has
    // a problem, already shown to the user.
    virtual bool calcInAndOutPoints(int& inPt, int& outPt) = 0;
};

} // namespace lentaro
