// The track procedures and the CD control's events.
#include "cd/cdtransport.h"

#include "app/programstate.h"
#include "app/timetexts.h"
#include "cd/cdsidehost.h"
#include "cd/cdsideloops.h"
#include "cd/mcihelpers.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/liveupdate.h"
#include "mainwindow/mainstate.h"
#include "platform/cd/DigitalReader.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
constexpr int msFormat = 0;
constexpr int tmsfFormat = 10;
constexpr int succeeded = 1; // the Done code of a command that finished
constexpr int playAttempts = 5;
constexpr auto highlightingPause = std::chrono::seconds(10);

// The number the text starts with, as far as its digits go; 0 without any.
int leadingNumber(const QString& text)
{
    int digits = 0;
    while (digits < text.size() && text.at(digits).isDigit())
        ++digits;
    return text.left(digits).toInt();
}

bool playStateOn()
{
    return programState().gvPlayState.state().toBool();
}

const QString loopingText = QStringLiteral("Looping");
const QString cdPlayingText = QStringLiteral("CD playing");

} // namespace

CdTransport::CdTransport(const CdSideControls& controls, CdSideHost& host, CdSideLoops& loops,
                         cd::DigitalReader& ACD1, std::function<void()> trackRowShown,
                         std::function<void()> showDiscStatus)
    : c_(controls),
      host_(host),
      loops_(loops),
      ACD1_(ACD1),
      trackRowShown_(std::move(trackRowShown)),
      showDiscStatus_(std::move(showDiscStatus))
{
    mci::MMControl* cd = &c_.CDControl;
    QObject::connect(cd, &mci::MMControl::done, &c_.window,
                     [this](int code) { CDcontrol_Done(code); });
    QObject::connect(cd, &mci::MMControl::ejectClick, &c_.window,
                     [this](bool& cancel) { CDControl_EjectClick(cancel); });
    QObject::connect(cd, &mci::MMControl::gotFocus, &c_.window, [this] { CDControl_GotFocus(); });
    QObject::connect(cd, &mci::MMControl::nextClick, &c_.window,
                     [this](bool& cancel) { CDControl_NextClick(cancel); });
    QObject::connect(cd, &mci::MMControl::pauseClick, &c_.window,
                     [this](bool& cancel) { CDControl_PauseClick(cancel); });
    QObject::connect(cd, &mci::MMControl::playClick, &c_.window,
                     [this](bool& cancel) { CDControl_PlayClick(cancel); });
    QObject::connect(cd, &mci::MMControl::prevClick, &c_.window,
                     [this](bool& cancel) { CDControl_PrevClick(cancel); });
    QObject::connect(cd, &mci::MMControl::statusUpdate, &c_.window,
                     [this] { CDControl_StatusUpdate(); });
    QObject::connect(cd, &mci::MMControl::stopClick, &c_.window,
                     [this](bool& cancel) { CDControl_StopClick(cancel); });
    showTracksGrid();
}

int CdTransport::trackLengthMs(int trk)
{
    TraceScope trace(module, "Function trackLengthMs", {{"trk", trk}});
    return trace.run(0, [&] {
        // On the CD control itself: the current view's control may be the wave device.
        mci::MMControl& cd = c_.CDControl;
        cd.setTimeFormat(msFormat);
        cd.setTrack(trk);
        return cd.trackLength();
    });
}

QString CdTransport::trackLengthMMSS(int trk)
{
    TraceScope trace(module, "Function trackLengthMMSS", {{"trk", trk}});
    return trace.run(QString(), [&] { return mmss(trackLengthMs(trk)); });
}

bool CdTransport::trackHighlighting()
{
    TraceScope trace(module, "Function trackHighlighting");
    return trace.run(false, [&] { return host_.sinceTyping() > highlightingPause; });
}

void CdTransport::switchToTrack(int x)
{
    TraceScope trace(module, "Sub switchToTrack", {{"x", x}});
    trace.run([&] {
        highlightTrackInGrid(x);
        const QString length = trackLengthMMSS(x);
        c_.pnlTrackLength.setText(QStringLiteral("Track %1 Length: ").arg(x) + length.left(5));
        const QString asTms = QStringLiteral("00:") + length;
        c_.sbTrackPos.setMaximum(minutes(asTms) * 60 + seconds(asTms));
        c_.sbTrackPos.setValue(0);
        mci::MMControl& cd = c_.CDControl;
        cd.setTimeFormat(msFormat);
        cd.setWait(true);
        cd.setTrack(x);
        cd.setWait(true);
        cd.setFrom(cd.trackPosition());
        cd.setWait(false);
    });
}

void CdTransport::playFromTrack(int x)
{
    TraceScope trace(module, "Sub playFromTrack", {{"x", x}});
    trace.run([&] {
        mci::MMControl& cd = c_.CDControl;
        for (int attempt = 1;; ++attempt) {
            cd.setWait(true);
            cd.setTimeFormat(tmsfFormat);
            cd.setWait(true);
            cd.setTrack(x);
            cd.setWait(true);
            cd.setFrom(cd.trackPosition());
            cd.setWait(false);
            cd.setCommand(QStringLiteral("Play"));
            // A playing disc reports its position, also after a stop turned the reports off.
            cd.setUpdateInterval(liveUpdateInterval);
            if (cd.error() == 0) {
                switchToTrack(x);
                return;
            }
            if (attempt == playAttempts) {
                forms::MsgBox(QStringLiteral("Multimedia system error ") + cd.errorMessage());
                return;
            }
        }
    });
}

void CdTransport::doNextPrev(const QString& np)
{
    TraceScope trace(module, "Sub doNextPrev", {{"np", np}});
    trace.run([&] {
        mci::MMControl& cd = c_.CDControl;
        // The window takes no second transport action until this one is done, however it ends.
        struct Suspended {
            const CdSideControls& c;
            forms::ScopedScreenPointer hourglass{Qt::WaitCursor};
            explicit Suspended(const CdSideControls& controls) : c(controls)
            {
                c.window.setEnabled(false);
                ignoringErrors([&] { c.state.currentMMControl()->setUpdateInterval(0); });
            }
            ~Suspended()
            {
                c.window.setEnabled(true);
                ignoringErrors(
                    [&] { c.state.currentMMControl()->setUpdateInterval(liveUpdateInterval); });
            }
        } suspended(c_);
        bool wasPlaying = false;
        ignoringErrors([&] { wasPlaying = host_.playing(); });
        ignoringErrors([&] {
            cd.setWait(true);
            cd.setCommand(QStringLiteral("Stop"));
        });
        int t = 0;
        ignoringErrors([&] {
            const QString position = c_.txtCurrentPosition.text();
            const int p = leadingNumber(position);
            if (np.compare(QLatin1String("next"), Qt::CaseInsensitive) == 0)
                t = std::min(p + 1, cd.tracks());
            else if (np.compare(QLatin1String("prev"), Qt::CaseInsensitive) == 0)
                t = position.right(5) == QLatin1String("00:00") ? std::max(p - 1, 1) : p;
        });
        ignoringErrors([&] { moveGridToTrack(t); });
        ignoringErrors([&] { c_.txtCurrentPosition.setText(toTMS(t)); });
        ignoringErrors([&] {
            highlightTrackInGrid(t);
            c_.tgTracks.viewport()->update();
        });
        if (wasPlaying) {
            ignoringErrors([&] { playFromTrack(t); });
            ignoringErrors([&] { host_.updatePosition(); });
        } else {
            ignoringErrors([&] { switchToTrack(t); });
        }
    });
}

void CdTransport::updateCDStatus()
{
    TraceScope trace(module, "Sub updateCDStatus");
    ignoringErrors([&] {
        const ProgramState& program = programState();
        if (!host_.playing() && !program.gvSlowMode) {
            showPlayEnded();
            return;
        }
        ignoringErrors([&] { host_.updatePosition(); });
        // Said of the CD only while it plays, and not over a recording's status.
        if (program.gvRecordingInProgress
            || c_.CDControl.mode() != static_cast<int>(mci::Mode::Playing))
            return;
        // The CD device plays a data track as silence.
        if (!program.gvSlowMode) {
            mci::MMControl& cd = c_.CDControl;
            cd.setTimeFormat(tmsfFormat);
            const int track = cd.position() & 0xFF;
            if (marks_->holdsData(track)) {
                c_.pnlMsg.setText(dataTrackPlaying(track));
                return;
            }
        }
        c_.pnlMsg.setText(playStateOn() ? loopingText : cdPlayingText);
    });
}

void CdTransport::showPlayEnded()
{
    const QString shown = c_.pnlMsg.text();
    if ((shown == loopingText || shown == cdPlayingText)
        && c_.CDControl.mode() != static_cast<int>(mci::Mode::Playing))
        showDiscStatus_();
}

void CdTransport::CDcontrol_Done(int NotifyCode)
{
    TraceScope trace(module, "Sub CDcontrol_Done", {{"NotifyCode", NotifyCode}});
    trace.run([&] {
        ProgramState& program = programState();
        if (playStateOn() && NotifyCode == succeeded && !program.gvRecordingInProgress)
            loops_.playLoop(false);
        if (program.gvRecordingInProgress) {
            // The CD has played the loop the wave device records: the wave device's own Done
            // saves temp.wav.
            program.gvPlayState.setState(false);
            c_.WaveControl.setWait(true);
            c_.WaveControl.setCommand(QStringLiteral("Stop"));
            c_.pnlMsg.setText(QStringLiteral("Lentaro"));
        }
        // A stop by Space ends the position reports too: they would not say it.
        showPlayEnded();
    });
}

void CdTransport::CDControl_EjectClick(bool& Cancel)
{
    TraceScope trace(module, "Sub CDControl_EjectClick");
    trace.run([&] {
        Cancel = true;
        const bool byReader = programState().gvDigitalRecordingOK;
        if (trayOpened_) {
            trayOpened_ = false;
            if (byReader)
                trayClose();
            else
                c_.CDControl.setCommand(QStringLiteral("Eject"));
        } else {
            trayOpened_ = true;
            if (byReader)
                trayOpen();
            else
                c_.CDControl.setCommand(QStringLiteral("Eject"));
        }
    });
}

void CdTransport::trayOpen()
{
    ACD1_.openTray();
}

void CdTransport::trayClose()
{
    ACD1_.closeTray();
}

void CdTransport::CDControl_GotFocus()
{
    TraceScope trace(module, "Sub CDControl_GotFocus");
    trace.run([&] {
        if (!c_.cmdStartNewLoop.isHidden())
            c_.cmdStartNewLoop.setFocus();
    });
}

void CdTransport::CDControl_NextClick(bool& Cancel)
{
    TraceScope trace(module, "Sub CDControl_NextClick");
    trace.run([&] {
        Cancel = true;
        doNextPrev(QStringLiteral("next"));
    });
}

void CdTransport::CDControl_PrevClick(bool& Cancel)
{
    TraceScope trace(module, "Sub CDControl_PrevClick");
    trace.run([&] {
        Cancel = true;
        doNextPrev(QStringLiteral("prev"));
    });
}

void CdTransport::CDControl_PauseClick(bool&)
{
    TraceScope trace(module, "Sub CDControl_PauseClick");
    trace.run([&] {
        programState().gvPlayState.setState(false);
        c_.CDControl.setWait(false);
    });
}

void CdTransport::CDControl_StopClick(bool&)
{
    TraceScope trace(module, "Sub CDControl_StopClick");
    trace.run([&] {
        programState().gvPlayState.setState(false);
        c_.CDControl.setWait(false);
    });
}

void CdTransport::CDControl_PlayClick(bool&)
{
    TraceScope trace(module, "Sub CDControl_PlayClick");
    trace.run([&] {
        c_.CDControl.setWait(false);
        programState().gvLoopHighlight = true;
        c_.CDControl.setUpdateInterval(liveUpdateInterval);
    });
}

void CdTransport::CDControl_StatusUpdate()
{
    TraceScope trace(module, "Sub CDControl_StatusUpdate");
    trace.run([&] {
        if (!c_.window.isMinimized())
            updateCDStatus();
    });
}

} // namespace lentaro
