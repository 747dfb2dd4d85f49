#pragma once

#include "cd/cdsideloops.h"

namespace lentaro::test {

// A loop side that counts what the CD side asks of it: replays of the loop (playLoop, 100 for
// one that works its points out again, else 1) and starts of the loop's play (btnLoopPlay_Click);
// its loop runs from inPt to outPt.
class CountingLoops : public CdSideLoops
{
public:
    void btnLoopPlay_Click() override { ++loopPlays; }
    void playLoop(bool recalc) override { replays += recalc ? 100 : 1; }
    bool calcInAndOutPoints(int& in, int& out) override
    {
        in = inPt;
        out = outPt;
        return false;
    }

    int replays = 0;
    int loopPlays = 0;
    int inPt = 0;
    int outPt = 0;
};

} // namespace lentaro::test
