#include "tests/cd/cd_side_rig.h"

#include "app/messages.h"
#include "app/programstate.h"
#include "app/timetexts.h"
#include "mainwindow/liveupdate.h"
#include "mainwindow/sides.h"
#include "platform/forms/applicationtitle.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"
#include "tests/support/side_rig_widgets.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlTableModel>
#include <QTableView>
#include <QVBoxLayout>

namespace lentaro::test {

namespace {

QAction* item(QMenu& menu, const char* name, const char* text)
{
    QAction* action = menu.addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void send(mci::MMControl& device, const char* command)
{
    device.setWait(true);
    device.setCommand(QString::fromLatin1(command));
}

} // namespace

CdSideRig::CdSideRig()
{
    setWindowTitle(forms::applicationTitle());
    setLayout(new QVBoxLayout);
    CDControl = placedDevice(*this, "CDControl", "CDAudio");
    WaveControl = placedDevice(*this, "WaveControl", "WaveAudio");
    tgTracks = placedGrid(*this, "tgTracks");
    loopPoints = placedGrid(*this, "loopPoints");
    connect(&state_, &MainState::loopsRebound, this,
            [this] { loopPoints->setModel(state_.dtaLoopPoints); });
    CDTitle = placed(*this, "CDTitle", new QLineEdit(this));
    Artist = placed(*this, "Artist", new QLineEdit(this));
    Comments = placed(*this, "Comments", new QLineEdit(this));
    lblTrackComments =
        placed(*this, "lblTrackComments", new QLabel(QStringLiteral("Track Comments:"), this));
    txtCurrentPosition = placed(*this, "txtCurrentPosition", new QLineEdit(this));
    txtCurrentPosition->setReadOnly(true);
    txtCurrentPosition->setText(QStringLiteral("00:00"));
    sbTrackPos = placed(*this, "sbTrackPos", new QScrollBar(Qt::Horizontal, this));
    sbTrackPos->setPageStep(1);
    cmdStartNewLoop =
        placed(*this, "cmdStartNewLoop", new QPushButton(QStringLiteral("Start New &Loop"), this));
    pnlMsg = placed(*this, "pnlMsg", new QLabel(this));
    pnlCDlength = placed(*this, "pnlCDlength", new QLabel(this));
    pnlTrackLength = placed(*this, "pnlTrackLength", new QLabel(this));
    mnuTrackGridPopup = new QMenu(QStringLiteral("track grid popup"), this);
    mnuTrackGridPopup->setObjectName(QStringLiteral("mnuTrackGridPopup"));
    mnuMakeLoop = item(*mnuTrackGridPopup, "mnuMakeLoop", "Make a &Loop for this track");
    mnuOpenNotationFile = item(*mnuTrackGridPopup, "mnuOpenNotationFile", "&Open notation file");
    mnuChangeNotationFile =
        item(*mnuTrackGridPopup, "mnuChangeNotationFile", "&Change notation file");
    mnuDigitalRec = item(*mnuTrackGridPopup, "mnuDigitalRec", "&Record Digitally to Hard Disk");
    mnuViewHelpTracksGrid =
        item(*mnuTrackGridPopup, "mnuViewHelpTracksGrid", "View &Help for the Tracks grid");
    cdNotationFile.caption = QStringLiteral("Locate an existing notation file for this track");
    state_.setCurrentMMControl(CDControl);
    state_.cdView = true;
}

CdSideControls CdSideRig::controls()
{
    return {state_,
            *this,
            *CDControl,
            *WaveControl,
            *tgTracks,
            *loopPoints,
            *CDTitle,
            *Artist,
            *Comments,
            *lblTrackComments,
            *txtCurrentPosition,
            *sbTrackPos,
            *cmdStartNewLoop,
            *pnlMsg,
            *pnlCDlength,
            *pnlTrackLength,
            *mnuTrackGridPopup,
            *mnuOpenNotationFile,
            *mnuChangeNotationFile,
            *mnuDigitalRec,
            *mnuViewHelpTracksGrid,
            cdNotationFile};
}

void CdSideRig::changeToMode(const QString& theMode, bool suppressRefresh)
{
    ProgramState& program = programState();
    const bool intoCdView = isMode(theMode, "CD") && !state_.cdView;
    program.gvPlayState.setState(false);
    // A capture left running is stopped.
    if (program.gvRecordingInProgress
        || WaveControl->mode() == static_cast<int>(mci::Mode::Recording)) {
        send(*WaveControl, "Stop");
        send(*WaveControl, "Close");
    }
    program.gvRecordingInProgress = false;
    for (mci::MMControl* device : {state_.currentMMControl(), WaveControl, CDControl})
        device->setUpdateInterval(0);
    if (!(isMode(theMode, "CD") && state_.currentMMControl() == CDControl))
        send(*state_.currentMMControl(), "Stop");
    // Without a wave file the main window asks for one; the rig has none to give, so the
    // previous view stays, its device live again, as when the user gives none.
    if (isMode(theMode, "Wave") && WaveControl->fileName().isEmpty()) {
        state_.currentMMControl()->setUpdateInterval(liveUpdateInterval);
        return;
    }
    if (isMode(theMode, "CD")) {
        state_.enterCdView(*CDControl);
        if (CDControl->mode() == static_cast<int>(mci::Mode::NotOpen))
            send(*CDControl, "Open");
        else if (!suppressRefresh && side_)
            side_->refreshDisplayForNewCD();
    } else if (isMode(theMode, "Wave") || isMode(theMode, "SlowPlay")) {
        state_.cdView = false;
        state_.setCurrentMMControl(WaveControl);
        if (isMode(theMode, "SlowPlay"))
            send(*WaveControl, "Close");
    }
    program.gvSlowMode = isMode(theMode, "SlowPlay");
    if (intoCdView && !suppressRefresh && side_)
        side_->checkCDPresent();
    state_.currentMMControl()->setUpdateInterval(liveUpdateInterval);
    // The progress window keeps the window disabled while it shows.
    if (!progressWindowShown())
        QWidget::setEnabled(true);
    emit state_.viewChanged();
}

bool CdSideRig::playing()
{
    return currentDevicePlays(state_);
}

void CdSideRig::updatePosition()
{
    if (!state_.cdView) {
        currentDeviceInMs(state_);
        const int position = WaveControl->position();
        txtCurrentPosition->setText(mmss(position));
        sbTrackPos->setValue(position / 1000);
        return;
    }
    tmsf();
    const int position = CDControl->position();
    // 1 is what the device answers before it knows where it is.
    if (position != 1 && side_)
        txtCurrentPosition->setText(side_->toTMS(position));
    const QString label = txtCurrentPosition->text();
    const int track = label.left(2).toInt();
    if (side_ && side_->trackHighlighting() && programState().gvCurrentTrack != track)
        side_->switchToTrack(track);
    sbTrackPos->setValue(minutes(label) * 60 + seconds(label));
}

void CdSideRig::tmsf()
{
    currentDeviceInTmsf(state_);
}

void CdSideRig::addToMRUs(const QString& fn)
{
    recentFiles.removeAll(fn);
    recentFiles.prepend(fn);
}

bool CdSideRig::playWaveFile(const QString& fn)
{
    send(*WaveControl, "Close");
    WaveControl->setFileName(fn);
    WaveControl->setWait(false);
    WaveControl->setCommand(QStringLiteral("Open"));
    if (WaveControl->error() >= 1) {
        forms::MsgBox(WaveControl->errorMessage());
        return false;
    }
    WaveControl->setTimeFormat(static_cast<int>(mci::TimeFormat::Milliseconds));
    pnlTrackLength->setText(QStringLiteral("Wave File Length ") + mmss(WaveControl->length()));
    return true;
}

} // namespace lentaro::test
