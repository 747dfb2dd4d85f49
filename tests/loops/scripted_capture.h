#pragma once

#include "loops/loopCapture.h"

#include <QStringList>

namespace lentaro::test {

// A capture of the current loop that only says it was asked, and fails on request.
class ScriptedCapture : public LoopCapture
{
public:
    explicit ScriptedCapture(QStringList& calls) : calls_(calls) {}
    bool fails = false;
    void recordCurrentLoop() override;

private:
    QStringList& calls_;
};

} // namespace lentaro::test
