#include "tests/loops/scripted_capture.h"

#include "trace/runtimeerror.h"

namespace lentaro::test {

void ScriptedCapture::recordCurrentLoop()
{
    calls_ << "recordCurrentLoop";
    if (fails)
        throw RuntimeError(5, QStringLiteral("Invalid procedure call or argument"));
}

} // namespace lentaro::test
