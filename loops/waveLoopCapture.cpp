#include "loops/waveLoopCapture.h"

#include "app/programstate.h"
#include "loops/loopSide.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/ignoringerrors.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "platform/shell/programfolder.h"
#include "platform/wavesection/WaveSection.h"
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

void WaveLoopCapture::recordCurrentLoop()
{
    TraceScope trace(module, "Sub recordCurrentLoop");
    trace.run([&] {
        if (main_.state().cdView)
            return;
        const forms::ScopedScreenPointer hourglass(Qt::WaitCursor);
        // Whether or not the cut was made: the road then says what is missing.
        extractCurrentLoop();
        main_.changeToMode(QStringLiteral("SlowPlay"), false);
        if (programState().gvAutoSlow)
            loops_.btnLoopPlay_Click();
    });
}

void WaveLoopCapture::extractCurrentLoop()
{
    TraceScope trace(module, "Sub extractCurrentLoop");
    trace.run([&] {
        MainState& state = main_.state();
        if (loops_.calcInAndOutPoints(state.inPt, state.outPt))
            return;
        mci::MMControl& wave = *main_.WaveControl;
        const QString source = wave.fileName();
        wave.setWait(true);
        wave.setCommand(QStringLiteral("Close"));
        const QString destination = programFolder() + QStringLiteral("/temp.wav");
        ignoringErrors([&] {
            // The last loop's temp.wav must not pass for this one's when the cut fails.
            QFile::remove(destination);
            const std::int32_t channels = wavesection::cut(
                QFile::encodeName(source).toStdString(),
                QFile::encodeName(destination).toStdString(), state.inPt, state.outPt);
            if (channels > 0) {
                state.tempWavChannels = channels;
                loops_.expFactorSet();
            }
        });
        ignoringErrors([&] {
            wave.setFileName(destination);
            wave.setWait(true);
            wave.setCommand(QStringLiteral("open"));
        });
    });
}

} // namespace lentaro
