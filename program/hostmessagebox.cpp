// The engine runner has no windows: it shows its failures through this function of the program,
// which it finds among the program's exported symbols.
#include "platform/forms/prompts.h"
#include "player/pallomi.h"
#include "soundfile/guarded_call.h"

extern "C" void lentaroHostMessageBox(const char* text, const char* caption)
{
    kv::guardedCall([&] {
        lentaro::forms::MsgBox(QString::fromUtf8(text), lentaro::forms::Buttons::OkOnly,
                               lentaro::forms::Icon::Critical, QString::fromUtf8(caption));
    });
}
