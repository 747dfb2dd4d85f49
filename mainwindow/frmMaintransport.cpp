// The transport of the current device: its time format, the position label and scroll bar with
// seeking by dragging, the play/stop toggle, and the events of the wave device, where a looping
// play starts its next round and an analog loop recording is saved.
#include "mainwindow/frmMain.h"
#include "mainwindow/ignoringerrors.h"

#include "app/messages.h"
#include "app/programstate.h"
#include "app/timetexts.h"
#include "mainwindow/tmstext.h"
#include "platform/mci/MMControl.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
constexpr int tmsfFormat = 10;
constexpr int succeeded = 1; // the Done code of a command that finished

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

bool playStateOn()
{
    return programState().gvPlayState.state().toBool();
}

} // namespace

void frmMain::connectTransport()
{
    connect(sbTrackPos, &QScrollBar::sliderPressed, this,
            [this] { dragStartValue_ = sbTrackPos->value(); });
    connect(sbTrackPos, &QScrollBar::sliderMoved, this, &frmMain::sbTrackPos_Scroll);
    // Qt reports a drag's values while it runs; the drag's end is the change that seeks.
    connect(sbTrackPos, &QScrollBar::sliderReleased, this, &frmMain::sbTrackPos_Change);
    connect(WaveControl, &mci::MMControl::done, this, &frmMain::WaveControl_Done);
    connect(WaveControl, &mci::MMControl::playClick, this, &frmMain::WaveControl_PlayClick);
    connect(WaveControl, &mci::MMControl::pauseClick, this, &frmMain::WaveControl_PauseClick);
    connect(WaveControl, &mci::MMControl::stopClick, this, &frmMain::WaveControl_StopClick);
    connect(WaveControl, &mci::MMControl::prevClick, this, &frmMain::WaveControl_PrevClick);
    connect(WaveControl, &mci::MMControl::statusUpdate, this, &frmMain::WaveControl_StatusUpdate);
    connect(WaveControl, &mci::MMControl::gotFocus, this, &frmMain::WaveControl_GotFocus);
}

void frmMain::ms()
{
    TraceScope trace(module, "Sub ms");
    trace.run([&] { state_.currentMMControl()->setTimeFormat(0); });
}

void frmMain::tmsf()
{
    ignoringErrors([&] {
        state_.currentMMControl()->setWait(true);
        state_.currentMMControl()->setTimeFormat(tmsfFormat);
    });
}

void frmMain::updatePosition()
{
    TraceScope trace(module, "Sub updatePosition");
    trace.run([&] {
        ProgramState& program = programState();
        if (state_.cdView) {
            tmsf();
            const int position = CDControl->position();
            // 1 is what the device answers before it knows where it is.
            if (position != 1)
                txtCurrentPosition->setText(cd().toTMS(position));
            const QString label = txtCurrentPosition->text();
            const int track = label.left(2).toInt();
            loops().highlightLoopPoint();
            if (cd().trackHighlighting() && program.gvCurrentTrack != track)
                cd().switchToTrack(track);
            ignoringErrors([&] { sbTrackPos->setValue(minutes(label) * 60 + seconds(label)); });
            return;
        }
        ms();
        if (!program.gvSlowMode) {
            const int position = WaveControl->position();
            txtCurrentPosition->setText(mmss(position));
            loops().highlightLoopPoint();
            sbTrackPos->setValue(position / 1000);
        }
        if (waveView().isOpen()) {
            ms();
            waveView().showPlayPosition(WaveControl->position());
        }
    });
}

void frmMain::sbTrackPos_Scroll(int value)
{
    TraceScope trace(module, "Sub sbTrackPos_Scroll", {{"value", value}});
    trace.run([&] {
        trackPosScrolling_ = true;
        // Position reports would move the thumb under the mouse.
        state_.currentMMControl()->setUpdateInterval(0);
        const QString time = twoDigits(value / 60) + QLatin1Char(':') + twoDigits(value % 60);
        if (state_.cdView)
            txtCurrentPosition->setText(txtCurrentPosition->text().left(3) + time);
        else
            txtCurrentPosition->setText(time);
    });
}

void frmMain::sbTrackPos_Change()
{
    TraceScope trace(module, "Sub sbTrackPos_Change");
    trace.run([&] {
        if (!trackPosScrolling_)
            return;
        trackPosScrolling_ = false;
        mci::MMControl* device = state_.currentMMControl();
        // A drag let go where it began leaves the play as it was.
        if (sbTrackPos->value() != dragStartValue_) {
            device->setWait(true);
            device->setCommand(QStringLiteral("Stop"));
            if (state_.cdView) {
                tmsf();
                CDControl->setFrom(to4byte(txtCurrentPosition->text()));
            } else {
                WaveControl->setFrom(sbTrackPos->value() * 1000);
            }
            device->setWait(false);
            device->setCommand(QStringLiteral("Play"));
            programState().gvLoopHighlight = true;
        }
        device->setUpdateInterval(liveUpdateInterval);
    });
}

void frmMain::togglePlayState()
{
    TraceScope trace(module, "Sub togglePlayState");
    trace.run([&] {
        ProgramState& program = programState();
        // The first pass sounds from the engine, not from the device: stopping is stopping it.
        if (program.gvSlowMode && loops().passRunning()) {
            program.gvPlayState.setState(false);
            loops().stopDLL();
            showPlayStatus();
            return;
        }
        mci::MMControl* device = state_.currentMMControl();
        // A first pass stopped before its end left no slowed file open to replay: play starts the
        // slowed loop again, as Play Selected Loop does.
        if (program.gvSlowMode && !playStateOn()
            && device->mode() == static_cast<int>(mci::Mode::NotOpen)) {
            loops().btnLoopPlay_Click();
            return;
        }
        if (playing() || playStateOn()) {
            if (playStateOn())
                program.gvPlayState.setState(false);
            device->setWait(true);
            device->setCommand(QStringLiteral("Stop"));
            device->setUpdateInterval(0);
            showPlayStatus();
            return;
        }
        // Only "SlowPlay" repeats a play: the wave device's Done starts the next round.
        if (program.gvSlowMode)
            program.gvPlayState.setState(true);
        device->setWait(false);
        device->setCommand(QStringLiteral("Play"));
        device->setUpdateInterval(liveUpdateInterval);
        program.gvLoopHighlight = true;
        showPlayStatus();
    });
}

void frmMain::showPlayStatus()
{
    // A stopped device sends no more reports: the text is brought up to date here, at once.
    if (state_.currentMMControl() != WaveControl)
        return;
    if (programState().gvSlowMode && playing())
        showLoopPlaying();
    else
        updateWaveStatus();
}

void frmMain::showLoopPlaying()
{
    pnlMsg->setText(QStringLiteral("Playing loop at ") + QString::number(state_.slowDownPercent())
                    + QStringLiteral("% of original speed."));
}

void frmMain::updateWaveStatus()
{
    TraceScope trace(module, "Sub updateWaveStatus");
    trace.run([&] {
        const QString text = QStringLiteral("Wave file ") + WaveControl->fileName();
        if (programState().gvSlowMode) {
            if (playing())
                ignoringErrors([&] { updatePosition(); });
            else if (!playStateOn())
                pnlMsg->setText(QStringLiteral("SlowPlay paused"));
        } else if (playing()) {
            pnlMsg->setText(text + QStringLiteral(" playing"));
            ignoringErrors([&] { updatePosition(); });
        } else {
            pnlMsg->setText(text);
        }
    });
}

void frmMain::WaveControl_Done(int NotifyCode)
{
    TraceScope trace(module, "Sub WaveControl_Done", {{"NotifyCode", NotifyCode}});
    trace.run([&] {
        ProgramState& program = programState();
        if (playStateOn() && NotifyCode == succeeded && !program.gvRecordingInProgress) {
            if (program.gvSlowMode && waveView().isOpen())
                waveView().mnuRefresh_Click();
            loops().playLoop(false);
        }
        if (program.gvRecordingInProgress) {
            saveRecording();
            changeToMode(QStringLiteral("SlowPlay"), false);
            if (program.gvAutoSlow)
                loops().btnLoopPlay_Click();
        } else {
            WaveControl->setWait(false);
            WaveControl->setEnabled(true);
        }
    });
}

void frmMain::saveRecording()
{
    // Whichever way the saving ends, the progress window goes and the main window is usable.
    struct SavingEnds {
        ~SavingEnds()
        {
            programState().gvRecordingInProgress = false;
            Message2(QStringLiteral("off"));
        }
    };
    const SavingEnds ends;
    WaveControl->setWait(true);
    Message2(QStringLiteral("Saving file..."));
    const auto failedWith = [this] {
        return RuntimeError(WaveControl->error(), WaveControl->errorMessage());
    };
    WaveControl->setCommand(QStringLiteral("Save"));
    if (WaveControl->error() >= 1) {
        const RuntimeError saveFailed = failedWith();
        WaveControl->setWait(true);
        WaveControl->setCommand(QStringLiteral("Close"));
        throw saveFailed;
    }
    WaveControl->setWait(true);
    WaveControl->setCommand(QStringLiteral("Close"));
    if (WaveControl->error() >= 1)
        throw failedWith();
}

void frmMain::WaveControl_PlayClick(bool&)
{
    TraceScope trace(module, "Sub WaveControl_PlayClick");
    trace.run([&] {
        WaveControl->setWait(false);
        programState().gvLoopHighlight = true;
    });
}

void frmMain::WaveControl_PauseClick(bool&)
{
    TraceScope trace(module, "Sub WaveControl_PauseClick");
    trace.run([&] {
        WaveControl->setWait(false);
        programState().gvPlayState.setState(false);
    });
}

void frmMain::WaveControl_StopClick(bool&)
{
    TraceScope trace(module, "Sub WaveControl_StopClick");
    trace.run([&] { programState().gvPlayState.setState(false); });
}

void frmMain::WaveControl_PrevClick(bool&)
{
    TraceScope trace(module, "Sub WaveControl_PrevClick");
    trace.run([&] { WaveControl->setWait(false); });
}

void frmMain::WaveControl_StatusUpdate()
{
    TraceScope trace(module, "Sub WaveControl_StatusUpdate");
    trace.run([&] {
        if (!programState().gvRecordingInProgress)
            updateWaveStatus();
    });
}

void frmMain::WaveControl_GotFocus()
{
    TraceScope trace(module, "Sub WaveControl_GotFocus");
    trace.run([&] {
        if (!cmdStartNewLoop->isHidden())
            cmdStartNewLoop->setFocus();
    });
}

} // namespace lentaro
