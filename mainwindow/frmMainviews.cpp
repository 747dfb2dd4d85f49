// The main window's three views and the one table that lays each out.
#include "mainwindow/frmMain.h"
#include "mainwindow/ignoringerrors.h"

#include "app/messages.h"
#include "app/programstate.h"
#include "app/timetexts.h"
#include "app/windowhelpers.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>
#include <QWindowStateChangeEvent>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
bool isMode(const QString& theMode, const char* name)
{
    return theMode.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

void send(mci::MMControl* device, const char* command)
{
    device->setWait(true);
    device->setCommand(QString::fromLatin1(command));
}

} // namespace

void frmMain::changeToMode(const QString& theMode, bool suppressRefresh)
{
    TraceScope trace(module, "Sub changeToMode", {{"theMode", theMode}});
    trace.run([&] {
        const forms::ScopedScreenPointer pointerBackAtTheEnd(Qt::ArrowCursor);
        ProgramState& program = programState();
        const bool intoCdView = isMode(theMode, "CD") && !state_.cdView;
        // Whichever way leaves "SlowPlay", the pass under way (or its hand-over) ends here, so
        // that it replays nothing over the next view.
        if (program.gvSlowMode && !isMode(theMode, "SlowPlay"))
            loops().stopDLL();
        program.gvPlayState.setState(false);
        stopRecording();
        MMsuspend(theMode);
        if (isMode(theMode, "CD")) {
            initCDview(suppressRefresh);
        } else if (isMode(theMode, "Wave")) {
            if (!initWaveView()) {
                // The previous view stays, with its device live again.
                MMgo();
                return;
            }
        } else if (isMode(theMode, "SlowPlay")) {
            initSlowView();
        }
        ignoringErrors([&] { program.gvSlowMode = isMode(theMode, "SlowPlay"); });
        ignoringErrors([&] { visibilityAndPositionAdjust(); });
        // Coming from another view, the CD view tells what is in the drive, or that nothing is.
        if (intoCdView && !suppressRefresh)
            ignoringErrors([&] { cd().checkCDPresent(); });
        // Last, so that the layout chosen holds whatever showed the disc.
        if (isMode(theMode, "CD"))
            loops().showGridView(state_.currentView());
        ignoringErrors([&] { auxiliaryFormAdjust(); });
        MMgo();
        ignoringErrors([&] {
            if (!progressWindowShown())
                QMainWindow::setEnabled(true);
        });
        emit state_.viewChanged();
    });
}

void frmMain::stopRecording()
{
    // A capture left running would go on filling a file nobody saves.
    if (programState().gvRecordingInProgress
        || WaveControl->mode() == static_cast<int>(mci::Mode::Recording)) {
        send(WaveControl, "Stop");
        send(WaveControl, "Close");
    }
    programState().gvRecordingInProgress = false;
}

void frmMain::initCDview(bool suppressRefresh)
{
    TraceScope trace(module, "Sub initCDview");
    trace.run([&] {
        state_.currentMMControl()->hide();
        state_.enterCdView(*CDControl);
        if (CDControl->mode() == static_cast<int>(mci::Mode::NotOpen))
            send(CDControl, "Open");
        else if (!suppressRefresh)
            cd().refreshDisplayForNewCD();
    });
}

bool frmMain::initWaveView()
{
    TraceScope trace(module, "Function initWaveView");
    return trace.run(false, [&] {
        const QString current = WaveControl->fileName();
        if (current.isEmpty()
            || current.contains(QLatin1String("tempslow.wav"), Qt::CaseInsensitive)
            || current.contains(QLatin1String("temp.wav"), Qt::CaseInsensitive)) {
            send(WaveControl, "Close");
            WaveControl->setFileName(state_.savedWaveFileName);
            send(WaveControl, "Open");
        }
        if (WaveControl->fileName().isEmpty())
            mnuFileOpen->trigger();
        if (WaveControl->fileName().isEmpty())
            return false;
        if (!doWaveDBThing())
            return false;
        state_.cdView = false;
        state_.currentMMControl()->hide();
        state_.setCurrentMMControl(WaveControl);
        loops().showLoopDetails();
        sbTrackPos->setMaximum(WaveControl->length() / 1000);
        // Where this file stands from the first moment, not what the last view or file showed.
        ms();
        const int position = WaveControl->position();
        txtCurrentPosition->setText(mmss(position));
        sbTrackPos->setValue(position / 1000);
        return true;
    });
}

void frmMain::initSlowView()
{
    TraceScope trace(module, "Sub initSlowView");
    trace.run([&] {
        state_.cdView = false;
        state_.currentMMControl()->hide();
        state_.setCurrentMMControl(WaveControl);
        if (slSlowPct[0]->value() == 0)
            slSlowPct[0]->setValue(50);
        txtSlowPct[0]->setText(QString::number(slSlowPct[0]->value()));
        send(WaveControl, "Close");
        txtCurrentPosition->setText(QStringLiteral("00:00"));
    });
}

void frmMain::MMsuspend(const QString& theMode)
{
    TraceScope trace(module, "Sub MMsuspend", {{"theMode", theMode}});
    trace.run([&] {
        if (!state_.currentMMControl())
            state_.setCurrentMMControl(CDControl);
        for (mci::MMControl* device :
             {state_.currentMMControl(), WaveControl, CDControl, slowControl})
            device->setUpdateInterval(0);
        if (!(isMode(theMode, "CD") && state_.currentMMControl() == CDControl))
            send(state_.currentMMControl(), "Stop");
    });
}

void frmMain::MMgo()
{
    ignoringErrors([&] {
        mci::MMControl* live = state_.currentMMControl();
        if (!live)
            return;
        live->setUpdateInterval(liveUpdateInterval);
        live->setVisible(!programState().gvSlowMode);
        live->setEnabled(true);
        if (live == CDControl)
            lblMMCtrl->setText(QStringLiteral("CD"));
        else if (live == WaveControl)
            lblMMCtrl->setText(QStringLiteral("Wave"));
    });
}

void frmMain::visibilityAndPositionAdjust()
{
    TraceScope trace(module, "Sub visibilityAndPositionAdjust");
    trace.run([&] {
        const bool S = programState().gvSlowMode;
        const bool C = state_.cdView;
        const bool T = state_.currentView() == 1 && C && !S;
        btnLoopPlay->move(btnLoopPlay->x(), S ? CDControl->y() : cmdSlowPlay->y());
        if (!programState().gvRealtime)
            cmdGraphic->setEnabled(false);
        mnuCDRequery->setEnabled(!S);
        mnuRecord->setEnabled(!S);
        mnuView->menuAction()->setEnabled(!S);
        mnuFileOpen->setEnabled(!S);
        Artist->setVisible(T);
        cmdStartNewLoop->setVisible(!S);
        btnLoopPlay->setVisible(!S);
        CDTitle->setVisible(T);
        cmdGraphic->setVisible(S);
        cmdPrevView->setVisible(S);
        cmdSlowPlay->setVisible(!S);
        Comments->setVisible(T);
        fraPitchControl->setVisible(S);
        fraSlowdown->setVisible(S);
        lblF6->setVisible(!S);
        lblF7->setVisible(!S);
        lblArtist->setVisible(T);
        lblCDTitle->setVisible(T);
        lblF8->setVisible(!S);
        lblMMCtrl->setVisible(!S);
        lblTrackComments->setVisible(C);
        lblTrans->setVisible(S);
        lblTransformations->setVisible(S);
        loopPoints->setVisible(!S);
        slowControl->setVisible(S);
        pnlCDlength->setVisible(C && !S);
        pnlTrackLength->setVisible(!S);
        tgTracks->setVisible(C && !S);
        fraCurrPosition->setVisible(!S);
    });
}

void frmMain::auxiliaryFormAdjust()
{
    TraceScope trace(module, "Sub auxiliaryFormAdjust");
    trace.run([&] {
        const bool S = programState().gvSlowMode;
        if (waveView().isOpen() && !S)
            waveView().close();
        if (loops().trimOpen()) {
            loops().setTrimZoomEnabled(!S);
            if (S)
                loops().closeTrim();
        }
    });
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::Form_Resize()
{
    ignoringErrors([&] {
        if (isMinimized())
            MMsuspend(QStringLiteral("CD"));
        else
            MMgo();
    });
}

void frmMain::cmdPrevView_Click()
{
    TraceScope trace(module, "Sub cmdPrevView_Click");
    trace.run([&] {
        loops().stopDLL();
        if (state_.savedCdView) {
            loops().mnuChooseView_Click(state_.savedCurrentView);
        } else {
            changeToMode(QStringLiteral("Wave"));
            // The wave file is gone: the "CD" view rather than staying in "SlowPlay".
            if (programState().gvSlowMode)
                changeToMode(QStringLiteral("CD"));
        }
        if (state_.dtaLoopPoints) {
            state_.dtaLoopPoints->select();
            for (int row = 0; row < state_.dtaLoopPoints->rowCount(); ++row) {
                if (state_.dtaLoopPoints->record(row).value(QStringLiteral("startTime")).toInt()
                    == state_.prevStartTime) {
                    loopPoints->selectRow(row);
                    break;
                }
            }
        }
        if (loops().trimOpen())
            loops().closeTrim();
    });
}

void frmMain::cmdGraphic_Click()
{
    TraceScope trace(module, "Sub cmdGraphic_Click");
    trace.run([&] {
        const QString generating = QStringLiteral("Generating graphic. Please wait...");
        pnlMsg->setText(generating);
        waveView().loadOrShow();
        // The view is up, loaded or shown again: the wait is over, unless something has said
        // more since.
        if (pnlMsg->text() == generating)
            pnlMsg->clear();
    });
}

void frmMain::graphicEnableToggle(bool newEnableState)
{
    TraceScope trace(module, "Sub graphicEnableToggle", {{"newEnableState", newEnableState}});
    trace.run([&] {
        cmdGraphic->setEnabled(newEnableState);
        if (waveView().isOpen())
            waveView().setEnabled(newEnableState);
        cmdGraphic->update();
    });
}

bool frmMain::playing()
{
    TraceScope trace(module, "Function playing");
    return trace.run(false, [&] {
        return state_.currentMMControl()
               && state_.currentMMControl()->mode() == static_cast<int>(mci::Mode::Playing);
    });
}

} // namespace lentaro
