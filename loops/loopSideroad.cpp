// The slow-down road's way out: Transform, the loop button, and starting an engine pass over
// temp.wav at the current speed and pitch (or replaying the finished one).
#include "loops/loopSide.h"

#include "app/enginerunner.h"
#include "app/messages.h"
#include "app/ownerrorbox.h"
#include "app/programstate.h"
#include "app/webaddresses.h"
#include "app/workingfiles.h"
#include "loops/loopCapture.h"
#include "mainwindow/expansionfactor.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "mainwindow/taggedtimer.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
// The analysis window every pass asks the engine for.
constexpr int windowMode = 1;
constexpr int graphUpdateMs = 100;
constexpr int loopUpdateMs = 500;

const QString transformNeedsALoop = QStringLiteral(
    "The Transform button plays the current loop back at a slower rate. In order to use this "
    "feature, you must first create at least one loop point using the Make Loop Point button.");
const QString noLoopPoints = QStringLiteral(
    "There are no loop points created. Please make at least one loop point before continuing");

} // namespace

QString slowdownFailedText(std::int32_t result, const QString& engineText)
{
    return QStringLiteral("The slowdown process failed with error code ") + QString::number(result)
           + (engineText.isEmpty() ? QString()
                                   : QStringLiteral(" (") + engineText + QLatin1Char(')'))
           + QStringLiteral(". Please try again. If that doesn't work, please contact ")
           + supportEmailAddress + QStringLiteral(". Thanks.");
}

void LoopSideOfMain::cmdSlowPlay_Click()
{
    TraceScope trace(module, "Sub cmdSlowPlay_Click");
    trace.run([&] {
        MainState& state = c_.state;
        programState().gvSlowedFileReady = false;
        host_->graphicEnableToggle(false);
        if (host_->playing()) {
            state.currentMMControl()->setWait(true);
            state.currentMMControl()->setCommand(QStringLiteral("Stop"));
        }
        if (rows_.count() == 0) {
            forms::MsgBox(transformNeedsALoop);
            return;
        }
        if (!saveCurrentStatus())
            return;
        // The restored values are no change of speed or pitch by the user.
        state.setSlowDownPercent(lstPct());
        state.setPitchChange(lstPitchChange());
        showSpeedAndPitch();
        loopCapture().recordCurrentLoop();
    });
}

bool LoopSideOfMain::saveCurrentStatus()
{
    TraceScope trace(module, "Function saveCurrentStatus");
    return trace.run(false, [&] {
        MainState& state = c_.state;
        state.savedWaveFileName = c_.WaveControl.fileName();
        state.savedCurrentView = state.currentView();
        state.savedCdView = state.cdView;
        if (rows_.currentRow() == LoopRows::noRow) {
            forms::MsgBox(noLoopPoints);
            return false;
        }
        state.prevStartTime = rows_.field(QStringLiteral("startTime")).toInt();
        prevRowKey = rows_.currentKey();
        return true;
    });
}

void LoopSideOfMain::btnLoopPlay_Click()
{
    TraceScope trace(module, "Sub btnLoopPlay_Click");
    try {
        ProgramState& program = programState();
        if (program.gvSlowMode) {
            playSlowDownLoop();
            return;
        }
        mci::MMControl& device = *c_.state.currentMMControl();
        if (host_->playing()) {
            device.setWait(true);
            device.setCommand(QStringLiteral("Stop"));
        }
        program.gvPlayState.setState(true);
        program.gvLoopHighlight = false;
        if (!program.gvRecordingInProgress) {
            device.setUpdateInterval(0);
            showTrim();
            device.setUpdateInterval(loopUpdateMs);
        }
        playLoop(true);
    } catch (...) {
        showOwnErrorBox(RuntimeError::fromCurrentException(), "btnLoopPlay_Click");
    }
}

void LoopSideOfMain::playSlowDownLoop()
{
    TraceScope trace(module, "Sub playSlowDownLoop");
    try {
        ProgramState& program = programState();
        MainState& state = c_.state;
        mci::MMControl& wave = c_.WaveControl;
        if (program.gvSlowedFileReady) {
            if (!host_->isWaveViewOpen()) {
                wave.setFrom(0);
                wave.setTo(wave.length());
            }
        } else {
            setupTrimFormsForSlowdown();
            state.setSlowDownPercent(std::max(state.slowDownPercent(), slowestPercent));
            const double factor = 100.0 / state.slowDownPercent();
            const double pitchfactor = calcPitchFactor();
            if (!TempWavPresent() || !slowItDown(factor, pitchfactor)) {
                program.gvPlayState.setState(false);
                return;
            }
            saveCurrentPct();
            saveCurrentPitchChange();
        }
        host_->showLoopPlaying();
        wave.setUpdateInterval(host_->isWaveViewOpen() ? graphUpdateMs : 0);
        program.gvPlayState.setState(true);
        if (program.gvSlowedFileReady)
            playLoop(false, wave.from(), wave.to());
        host_->graphicEnableToggle(program.gvSlowedFileReady);
        focusWaveView();
    } catch (...) {
        showOwnErrorBox(RuntimeError::fromCurrentException(), "playSlowDownLoop");
        forms::setScreenMousePointer(Qt::ArrowCursor);
    }
}

void LoopSideOfMain::focusWaveView()
{
    if (c_.cmdGraphic.isVisible() && c_.cmdGraphic.isEnabled())
        c_.cmdGraphic.setFocus();
}

double LoopSideOfMain::calcPitchFactor()
{
    TraceScope trace(module, "Function calcPitchFactor");
    return trace.run(1.0, [&] {
        const int cents = c_.state.pitchChange();
        return cents == 0 ? 1.0 : std::pow(2.0, (cents / 100.0) / 12.0);
    });
}

int LoopSideOfMain::calcBands()
{
    TraceScope trace(module, "Function calcBands");
    return trace.run(0, [&] {
        // A quality outside 1..3 would ask the engine for a size it does not have.
        const int quality = std::clamp(programState().gvSoundQuality, 1, 3);
        return 256 << quality;
    });
}

bool LoopSideOfMain::TempWavPresent()
{
    TraceScope trace(module, "Function TempWavPresent");
    return trace.run(false, [&] {
        if (QFile::exists(tempWav()))
            return true;
        forms::MsgBox(QStringLiteral(
            "Recording did not succeed. Please switch Recording settings and try again."));
        return false;
    });
}

bool LoopSideOfMain::slowItDown(double factor, double pitchfactor)
{
    TraceScope trace(module, "Function slowItDown",
                     {{"factor", factor}, {"pitchfactor", pitchfactor}});
    return trace.run(false, [&] {
        const bool rendered = !programState().gvRealtime;
        std::int32_t r = 0;
        {
            const forms::ScopedScreenPointer hourglass(rendered ? Qt::WaitCursor : Qt::ArrowCursor);
            if (rendered) {
                c_.pnlMsg.setText(QStringLiteral("Changing selection speed and/or pitch..."));
                QCoreApplication::processEvents();
            }
            mci::MMControl& wave = c_.WaveControl;
            if (!wave.fileName().isEmpty()) {
                wave.setWait(true);
                wave.setCommand(QStringLiteral("Close"));
            }
            ignoringErrors([&] { stopDLL(); });
            r = doKVslowdown(factor, pitchfactor);
        }
        if (r == 1)
            return true;
        if (r == 0) {
            // The runner has said why; the road is idle and Play tries again.
            Message2(QStringLiteral("off"));
            c_.tmrLoopDLL.Tag.clear();
            return false;
        }
        forms::MsgBox(slowdownFailedText(r, QString()));
        host_->changeToMode(QStringLiteral("CD"));
        return false;
    });
}

int LoopSideOfMain::doKVslowdown(double factor, double pitchfactor)
{
    TraceScope trace(module, "Function doKVslowdown",
                     {{"factor", factor}, {"pitchfactor", pitchfactor}});
    return trace.run(0, [&] {
        ProgramState& program = programState();
        const QString output = tempSlowWav();
        ignoringErrors([&] { QFile::remove(output); });
        EnginePass pass;
        pass.inputPath = tempWav();
        pass.pitchFactor = pitchfactor;
        pass.timeFactor = factor;
        ignoringErrors([&] { pass.fftSize = static_cast<std::int16_t>(calcBands()); });
        pass.windowMode = windowMode;
        pass.outputPath = output;
        pass.realTime = program.gvRealtime ? 1 : 0;
        pass.channelChoice = static_cast<std::int16_t>(program.gvChannelToTransform);
        program.gvSlowedFileReady = false;
        c_.tmrLoopDLL.stop();
        c_.tmrLoopDLL.Tag = QStringLiteral("LOOP");
        if (!program.gvRealtime)
            Message2(QStringLiteral("Changing loop speed and/or pitch."), QStringLiteral("KV"));
        const std::int32_t result = engineRunner().start(pass);
        // Counted before any event runs: its end may be the next one handed over. No events run
        // here either: a short pass's end, handed over at once, replays only after the road has
        // set up what the replay needs.
        if (result == 1) {
            passes_.started();
            renderedPass_ = !program.gvRealtime;
        }
        return static_cast<int>(result);
    });
}

} // namespace lentaro
