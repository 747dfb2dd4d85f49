#include "loops/waveLoopCapture.h"

#include "app/programstate.h"
#include "app/storagetrouble.h"
#include "app/workingfiles.h"
#include "loops/loopSide.h"
#include "mainwindow/expansionfactor.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "platform/wavesection/WaveSection.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QFile>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

class NoCapture : public LoopCapture
{
public:
    void recordCurrentLoop() override {}
};

} // namespace

Service<LoopCapture> loopCapture{madeAtFirstUse<NoCapture>};

WaveLoopCapture::WaveLoopCapture(const LoopSideControls& controls, LoopSideHost& host,
                                 LoopSideOfMain& loops)
    : state_(controls.state), wave_(controls.WaveControl), host_(host), loops_(loops)
{
}

void WaveLoopCapture::recordCurrentLoop()
{
    TraceScope trace(module, "Sub recordCurrentLoop");
    // A cut that fails goes to the caller, which shows it as this procedure's own error.
    if (state_.cdView)
        return;
    const forms::ScopedScreenPointer hourglass(Qt::WaitCursor);
    // A loop not cut stays in the "Wave" view with its file open: a stale or missing temp.wav
    // must not pass for it.
    if (!extractCurrentLoop())
        return;
    host_.changeToMode(QStringLiteral("SlowPlay"), false);
    if (programState().gvAutoSlow)
        loops_.btnLoopPlay_Click();
}

bool WaveLoopCapture::extractCurrentLoop()
{
    TraceScope trace(module, "Sub extractCurrentLoop");
    QString source;
    std::int32_t channels = 0;
    const bool cutTried = trace.run(false, [&] {
        MainState& state = state_;
        if (loops_.calcInAndOutPoints(state.inPt, state.outPt))
            return false;
        mci::MMControl& wave = wave_;
        source = wave.fileName();
        wave.setWait(true);
        wave.setCommand(QStringLiteral("Close"));
        const QString destination = tempWav();
        ignoringErrors([&] {
            // The last loop's temp.wav must not pass for this one's when the cut fails.
            QFile::remove(destination);
            channels = wavesection::cut(QFile::encodeName(source).toStdString(),
                                        QFile::encodeName(destination).toStdString(), state.inPt,
                                        state.outPt);
        });
        if (channels > 0) {
            state.tempWavChannels = channels;
            expFactorSet(state);
        }
        ignoringErrors([&] {
            wave.setFileName(channels > 0 ? destination : source);
            wave.setWait(true);
            wave.setCommand(QStringLiteral("Open"));
        });
        return true;
    });
    if (!cutTried || channels > 0)
        return cutTried;
    if (const QString trouble = storageTrouble(); !trouble.isEmpty()) {
        forms::MsgBox(QStringLiteral("The loop could not be cut out of %1 into temp.wav, because "
                                     "%2.")
                          .arg(source, trouble),
                      forms::Buttons::OkOnly, forms::Icon::Exclamation);
        return false;
    }
    throw RuntimeError(errorNumbers::pathFileAccess,
                       QStringLiteral("The loop could not be cut out of ") + source + '.');
}

} // namespace lentaro
