#include "app/soundsetup.h"

#include "platform/audio/Devices.h"
#include "platform/forms/prompts.h"
#include "trace/traceruntime.h"
#include "trace/tracescope.h"

namespace lentaro {

namespace {

constexpr char module[] = "startingproc";

} // namespace

void setUpSound()
{
    TraceScope trace(module, "Sub setUpSound");
    trace.run([&] {
        const TraceSettings& settings = TraceRuntime::current().settings();
        audio::showSoundSystemMessages(settings.writeToDisk || settings.captureToDisk
                                       || settings.circularLog);
        const audio::Status unknown = audio::unknownAudioChoice();
        if (unknown.ok())
            return;
        forms::MsgBox(QStringLiteral("The sound setting is not followed: %1. Lentaro plays and "
                                     "records through the desktop's sound devices, as if "
                                     "LENTARO_AUDIO were unset; LENTARO_AUDIO=null works "
                                     "without sound.")
                          .arg(QString::fromStdString(unknown.detail)),
                      forms::Buttons::OkOnly, forms::Icon::Exclamation);
    });
}

} // namespace lentaro
