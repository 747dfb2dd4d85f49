// The slow-down road's way back: the end of a pass handed from the runner's thread to the pass
// timer, the replay of what the pass wrote, stopping a pass, and the SlowPlay transport bar.
#include "loops/loopSide.h"

#include "app/enginerunner.h"
#include "app/messages.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "app/timetexts.h"
#include "app/workingfiles.h"
#include "loops/trimGraph.h"
#include "mainwindow/mainstate.h"
#include "mainwindow/taggedtimer.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/SoundCard.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"
#include "trace/tracescope.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
// How often a stop is repeated while stopDLL waits for the pass's end.
constexpr int stopAgainMs = 50;

bool isLoopTag(const QString& tag)
{
    return tag.compare(QLatin1String("LOOP"), Qt::CaseInsensitive) == 0;
}

const QString renderedOffer = QStringLiteral(
    "\n\nTransform without real-time playback instead? The slowed-down loop is then made first and "
    "played once it is ready, and File > Save Last Slowed-Down File can keep it. The Settings "
    "dialog's \"Transform in Real-Time\" switches back.");

// The results a real-time pass gives when its sound output fails it.
bool playbackFailure(std::int32_t result)
{
    return result == kv::kFailure || result == kv::kBadCall || result == kv::kFileError
           || result == kv::kHardwareError;
}

// Why the engine could not have a sound output for a real-time pass over temp.wav, asked as the
// engine asks it: for temp.wav's rate in one channel, first whether the output takes that, then by
// opening it. Ok when it can have one.
audio::Status realTimeOutputRefusal()
{
    audio::Format played{1, 44100, 16, audio::Encoding::Pcm};
    const auto temp = kv::SoundStream::openRead(QFile::encodeName(tempWav()).toStdString());
    if (temp && temp->lastError() == kv::kOk) {
        played.sampleRate = static_cast<int>(temp->sampleRate());
        played.bitsPerSample = temp->bytesPerSample() == 1   ? 8
                               : temp->bytesPerSample() == 4 ? 32
                                                             : 16;
    }
    if (audio::Status query = mci::soundCard().queryOutput(played); !query.ok())
        return query;
    return mci::soundCard().openOutput(played).status;
}

} // namespace

void LoopSideOfMain::connectRoad()
{
    connect(&c_.cmdSlowPlay, &QPushButton::clicked, this, &LoopSideOfMain::cmdSlowPlay_Click);
    connect(&c_.btnLoopPlay, &QPushButton::clicked, this, &LoopSideOfMain::btnLoopPlay_Click);
    connect(&c_.slowControl, &mci::MMControl::gotFocus, this,
            &LoopSideOfMain::slowControl_GotFocus);
    connect(&c_.slowControl, &mci::MMControl::playClick, this,
            [this](bool&) { slowControl_PlayClick(); });
    connect(&c_.slowControl, &mci::MMControl::stopClick, this,
            [this](bool&) { slowControl_StopClick(); });
    c_.cmdSlowPlay.setToolTip(QStringLiteral("Enter Slow Play mode."));
    c_.btnLoopPlay.setToolTip(QStringLiteral("Play selected loop."));
    c_.slowControl.setToolTip(QStringLiteral(
        "Press the triangle to play the slowed-down loop, or press the square to stop playback."));
    c_.cmdSlowPlay.installEventFilter(this);
    c_.btnLoopPlay.installEventFilter(this);
}

bool LoopSideOfMain::latestPassEnded(std::int32_t result)
{
    if (!passes_.ended(result))
        return false;
    // A pass that failed (a full disk) or was stopped wrote part of the loop at most: nothing
    // offers it as the slowed-down loop, to replay or to save.
    if (!isLoopTag(c_.tmrLoopDLL.Tag) || !passSucceeded())
        QFile::remove(tempSlowWav());
    return true;
}

bool LoopSideOfMain::passRunning() const
{
    return !programState().gvSlowedFileReady && (passes_.outstanding() || c_.tmrLoopDLL.isActive());
}

RoadState LoopSideOfMain::roadState() const
{
    if (c_.tmrLoopDLL.isActive())
        return RoadState::HandOverPending;
    if (isLoopTag(c_.tmrLoopDLL.Tag))
        return programState().gvSlowedFileReady ? RoadState::Replaying : RoadState::PassRunning;
    return passes_.outstanding() ? RoadState::StoppedPass : RoadState::Idle;
}

void LoopSideOfMain::resetLastPass()
{
    c_.tmrLoopDLL.stop();
    c_.tmrLoopDLL.Tag.clear();
    programState().gvSlowedFileReady = false;
}

void LoopSideOfMain::tmrLoopDLL_Timer()
{
    ProgramState& program = programState();
    Message2(QStringLiteral("off"));
    c_.tmrLoopDLL.stop();
    {
        const QSignalBlocker speed(c_.slSlowPct[0]);
        c_.slSlowPct[0]->setValue(c_.state.slowDownPercent());
    }
    if (!isLoopTag(c_.tmrLoopDLL.Tag)) {
        program.gvSlowedFileReady = false;
    } else if (!passSucceeded()) {
        // Nothing the pass left is played as if it were the loop.
        program.gvSlowedFileReady = false;
        program.gvPlayState.setState(false);
        c_.tmrLoopDLL.Tag.clear();
        showPassFailure(passes_.lastResult());
    } else {
        program.gvSlowedFileReady = true;
        mci::MMControl& wave = c_.WaveControl;
        if (!wave.fileName().isEmpty()) {
            wave.setWait(true);
            wave.setCommand(QStringLiteral("Close"));
        }
        wave.setFileName(tempSlowWav());
        wave.setWait(true);
        wave.setCommand(QStringLiteral("Open"));
        setReplayRange();
        btnLoopPlay_Click();
    }
    host_->graphicEnableToggle(program.gvSlowedFileReady);
}

bool LoopSideOfMain::passSucceeded() const
{
    const std::int32_t result = passes_.lastResult();
    if (result != kv::kOk && result != kv::kEndOfFile)
        return false;
    const auto written = kv::SoundStream::openRead(QFile::encodeName(tempSlowWav()).toStdString());
    return written && written->lastError() == kv::kOk && written->length() > 0;
}

void LoopSideOfMain::showPassFailure(std::int32_t result)
{
    // A pass that reported success but wrote no sound is told as the engine tells that.
    const std::int32_t shown =
        result == kv::kOk || result == kv::kEndOfFile ? kv::kNoSoundData : result;
    const audio::Status refused =
        !renderedPass_ && playbackFailure(shown) ? realTimeOutputRefusal() : audio::Status{};
    if (refused.ok()) {
        forms::MsgBox(slowdownFailedText(shown, QString::fromUtf8(kv::resultText(shown))));
        return;
    }
    const QString reason =
        QStringLiteral("No sound output could be opened: ")
        + QString::fromStdString(refused.detail.empty() ? audio::errorText(refused.error)
                                                        : refused.detail);
    const forms::Answer answer = forms::MsgBox(slowdownFailedText(shown, reason) + renderedOffer,
                                               forms::Buttons::YesNo, forms::Icon::Exclamation);
    if (answer != forms::Answer::Yes)
        return;
    // What the settings dialog's switch does; the pass then only writes the slowed loop.
    writePref(QStringLiteral("Realtime"), programState().gvRealtime, false);
    if (programState().gvSlowMode)
        playSlowDownLoop();
}

void LoopSideOfMain::setReplayRange()
{
    mci::MMControl& wave = c_.WaveControl;
    host_->ms();
    if (renderedPass_) {
        openSlowdownFile();
    } else {
        wave.setFrom(0);
        wave.setTo(wave.length());
        adjustGraph();
    }
    // Markers that do not enclose a stretch of the file would play nothing, over and over.
    if (wave.from() >= wave.to()) {
        wave.setFrom(0);
        wave.setTo(wave.length());
    }
}

bool LoopSideOfMain::openSlowdownFile()
{
    TraceScope trace(module, "Function openSlowdownFile");
    return trace.run(true, [&] {
        mci::MMControl& wave = c_.WaveControl;
        const int length = wave.length();
        c_.sbTrackPos.setMaximum(length / 1000);
        c_.pnlLoopLength.setText(QStringLiteral("Loop Length: ") + lengthMmss(length));
        wave.setFrom(0);
        wave.setTo(length);
        c_.cmdGraphic.setEnabled(true);
        adjustTrimForm();
        adjustGraph();
        return true;
    });
}

void LoopSideOfMain::stopDLL()
{
    TraceScope trace(module, "Sub stopDLL");
    trace.run([&] {
        c_.tmrLoopDLL.Tag = QStringLiteral("STOP");
        c_.tmrLoopDLL.stop();
        engineRunner().stop();
        waitForPassEnd();
    });
}

void LoopSideOfMain::waitForPassEnd()
{
    if (!passes_.outstanding())
        return;
    // A stop that reaches the engine before the pass does is lost: it is asked again.
    QTimer again;
    again.setInterval(stopAgainMs);
    QObject::connect(&again, &QTimer::timeout, [] { engineRunner().stop(); });
    again.start();
    const auto giveUp = clock_() + passEndBound;
    while (passes_.outstanding() && clock_() < giveUp) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents
                                        | QEventLoop::WaitForMoreEvents);
    }
}

void LoopSideOfMain::slowControl_GotFocus()
{
    TraceScope trace(module, "Sub slowControl_GotFocus");
    trace.run([&] { focusWaveView(); });
}

void LoopSideOfMain::slowControl_PlayClick()
{
    TraceScope trace(module, "Sub slowControl_PlayClick");
    trace.run([&] {
        btnLoopPlay_Click();
        focusWaveView();
    });
}

void LoopSideOfMain::slowControl_StopClick()
{
    TraceScope trace(module, "Sub slowControl_StopClick");
    trace.run([&] {
        ProgramState& program = programState();
        // The first real-time pass sounds from the engine itself.
        if (program.gvRealtime && !program.gvSlowedFileReady) {
            stopDLL();
        } else {
            c_.WaveControl.setWait(true);
            c_.WaveControl.setCommand(QStringLiteral("Stop"));
        }
        program.gvPlayState.setState(false);
        focusWaveView();
    });
}

void LoopSideOfMain::cmdSlowPlay_MouseUp()
{
    TraceScope trace(module, "Sub cmdSlowPlay_MouseUp");
    trace.run([&] {
        forms::MsgBox(QStringLiteral(
            "Pressing this button (which is only available when playback is stopped) allows you "
            "to play the currently-selected loop at slower speeds.\r\n\r\n"
            "If the current view is one of the CD views, pressing this button first records the "
            "current loop of CD audio into a wave file.\r\n\r\n"
            "After a wave file is recorded (or immediately, if you press the button from Wave file "
            "view), the view shifts to the SlowDown screen, where you can slow down the file in "
            "varying degrees."));
    });
}

void LoopSideOfMain::btnLoopPlay_MouseUp()
{
    TraceScope trace(module, "Sub btnLoopPlay_MouseUp");
    trace.run([&] {
        forms::MsgBox(QStringLiteral("This plays a loop of CD audio, from the selected Loop Point "
                                     "to the one after it (as modified by the sliders to the "
                                     "right)."));
    });
}

} // namespace lentaro
