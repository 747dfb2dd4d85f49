#include "tests/loops/loop_side_rig.h"

#include "app/programstate.h"
#include "loops/loopSide.h"
#include "mainwindow/taggedtimer.h"
#include "platform/mci/MMControl.h"
#include "platform/shell/programfolder.h"
#include "tests/support/side_rig_widgets.h"
#include "trace/runtimeerror.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTableView>
#include <QVBoxLayout>

namespace lentaro::test {

namespace {

QPushButton* button(QWidget& window, const QString& name, const char* caption)
{
    return placed(window, name, new QPushButton(QString::fromLatin1(caption), &window));
}

class RigHost final : public LoopSideHost
{
public:
    explicit RigHost(LoopSideRig& rig) : rig_(rig) {}

    void changeToMode(const QString& theMode, bool suppressRefresh) override
    {
        rig_.changeToMode(theMode, suppressRefresh);
    }
    bool playing() override { return rig_.playing(); }
    void ms() override { rig_.ms(); }
    void tmsf() override { rig_.tmsf(); }
    void graphicEnableToggle(bool newEnableState) override
    {
        rig_.graphicEnableToggle(newEnableState);
    }
    void addToMRUs(const QString& fn) override { rig_.addToMRUs(fn); }
    void setEnabled(bool enabled) override { rig_.setEnabled(enabled); }
    void showLoopPlaying() override { rig_.showLoopPlaying(); }
    bool isWaveViewOpen() override { return rig_.isWaveViewOpen(); }

private:
    LoopSideRig& rig_;
};

} // namespace

LoopSideRig::LoopSideRig()
{
    setLayout(new QVBoxLayout);
    CDControl = placedDevice(*this, "CDControl", "CDAudio");
    WaveControl = placedDevice(*this, "WaveControl", "WaveAudio");
    slowControl = placedDevice(*this, "slowControl", "");
    slowControl->useButtonsOnly({mci::Button::Play, mci::Button::Stop});
    tgTracks = placedGrid(*this, "tgTracks");
    loopPoints = placedGrid(*this, "loopPoints");
    // Before the side's own answer to a rebind, as in the main window.
    connect(&state_, &MainState::loopsRebound, this,
            [this] { loopPoints->setModel(state_.dtaLoopPoints); });
    tmrLoopDLL = new TaggedTimer(this);
    tmrLoopDLL->setSingleShot(true);
    tmrSliderFreedom = new QTimer(this);
    lblCDTitle = placed(*this, "lblCDTitle", new QLabel(QStringLiteral("Title"), this));
    CDTitle = placed(*this, "CDTitle", new QLineEdit(this));
    lblArtist = placed(*this, "lblArtist", new QLabel(QStringLiteral("Artist"), this));
    Artist = placed(*this, "Artist", new QLineEdit(this));
    Comments = placed(*this, "Comments", new QLineEdit(this));
    lblTracks = placed(*this, "lblTracks", new QLabel(QStringLiteral("Tracks"), this));
    lblTrackComments =
        placed(*this, "lblTrackComments", new QLabel(QStringLiteral("Track Comments:"), this));
    // The ranges and first values the main window gives them.
    slSlowPct[0] = placed(*this, "slSlowPct(0)", new QSlider(Qt::Horizontal, this));
    slSlowPct[0]->setRange(0, 200);
    slSlowPct[0]->setValue(50);
    slSlowPct[1] = placed(*this, "slSlowPct(1)", new QSlider(Qt::Horizontal, this));
    slSlowPct[1]->setRange(-1200, 1200);
    for (int i = 0; i < 3; ++i) {
        txtSlowPct[i] = placed(*this, QStringLiteral("txtSlowPct(%1)").arg(i), new QLineEdit(this));
        txtSlowPct[i]->setText(i == 0 ? QStringLiteral("50") : QStringLiteral("0"));
    }
    lbl1005Speed = button(*this, QStringLiteral("lbl1005Speed"), "1/5 Speed");
    lbl1003Speed = button(*this, QStringLiteral("lbl1003Speed"), "1/3 Speed");
    lbl1002 = button(*this, QStringLiteral("lbl1002"), "1/2 Speed");
    lblOriginalSpeed = button(*this, QStringLiteral("lblOriginalSpeed"), "Original Speed");
    lblDoubleSpeed = button(*this, QStringLiteral("lblDoubleSpeed(0)"), "Double Speed");
    for (int index = 0; index < 25; ++index)
        lblSteps[index] = button(*this, QStringLiteral("lblSteps(%1)").arg(index), "step");
    sbTrackPos = placed(*this, "sbTrackPos", new QScrollBar(Qt::Horizontal, this));
    sbTrackPos->setPageStep(1);
    cmdSlowPlay = button(*this, QStringLiteral("cmdSlowPlay"), "&Transform");
    btnLoopPlay = button(*this, QStringLiteral("btnLoopPlay"), "&Play Selected Loop");
    cmdStartNewLoop = button(*this, QStringLiteral("cmdStartNewLoop"), "Start New &Loop");
    cmdGraphic = button(*this, QStringLiteral("cmdGraphic"), "&Wave View");
    pnlMsg = placed(*this, "pnlMsg", new QLabel(this));
    pnlLoopLength = placed(*this, "pnlLoopLength", new QLabel(this));
    pnlLoopLength->hide();
    mnuLoopPopup = new QMenu(this);
    mnuLoopHelp = mnuLoopPopup->addAction(QStringLiteral("View &Help for the Loop Points grid"));
    dlgWave.caption = QStringLiteral("Select wave file to open");
    dlgWave.filter = QStringLiteral("Wave files (*.wav)");
    dlgWave.folder = programFolder();
    state_.setCurrentView(1);
    state_.setCurrentMMControl(CDControl);
    state_.cdView = true;
}

LoopSideControls LoopSideRig::controls()
{
    return {state_,           *this,         *CDControl,    *WaveControl,      *slowControl,
            *tgTracks,        *loopPoints,   *tmrLoopDLL,   *tmrSliderFreedom, *lblCDTitle,
            *CDTitle,         *lblArtist,    *Artist,       *Comments,         slSlowPct,
            txtSlowPct,       *lbl1005Speed, *lbl1003Speed, *lbl1002,          *lblOriginalSpeed,
            *lblDoubleSpeed,  lblSteps,      *sbTrackPos,   *cmdSlowPlay,      *btnLoopPlay,
            *cmdStartNewLoop, *cmdGraphic,   *pnlMsg,       *pnlLoopLength,    *mnuLoopHelp,
            dlgWave};
}

std::unique_ptr<LoopSideHost> LoopSideRig::host()
{
    return std::make_unique<RigHost>(*this);
}

void LoopSideRig::useSide(LoopSideOfMain& side)
{
    side_ = &side;
    connect(tmrLoopDLL, &QTimer::timeout, &side, [&side] { side.tmrLoopDLL_Timer(); });
}

void LoopSideRig::changeToMode(const QString& theMode, bool)
{
    ProgramState& program = programState();
    if (program.gvSlowMode && !isMode(theMode, "SlowPlay") && side_)
        side_->stopDLL();
    program.gvPlayState.setState(false);
    mci::MMControl* leaving = state_.currentMMControl();
    if (leaving && !(isMode(theMode, "CD") && leaving == CDControl)) {
        leaving->setWait(true);
        leaving->setCommand(QStringLiteral("Stop"));
    }
    if (isMode(theMode, "CD")) {
        state_.enterCdView(*CDControl);
    } else if (isMode(theMode, "Wave")) {
        state_.cdView = false;
        state_.setCurrentMMControl(WaveControl);
    } else if (isMode(theMode, "SlowPlay")) {
        state_.cdView = false;
        state_.setCurrentMMControl(WaveControl);
        if (slSlowPct[0]->value() == 0)
            slSlowPct[0]->setValue(50);
        txtSlowPct[0]->setText(QString::number(slSlowPct[0]->value()));
        WaveControl->setWait(true);
        WaveControl->setCommand(QStringLiteral("Close"));
    }
    program.gvSlowMode = isMode(theMode, "SlowPlay");
    if (isMode(theMode, "CD") && side_)
        side_->showGridView(state_.currentView());
    QWidget::setEnabled(true);
    emit state_.viewChanged();
}

bool LoopSideRig::playing()
{
    return currentDevicePlays(state_);
}

void LoopSideRig::ms()
{
    currentDeviceInMs(state_);
}

void LoopSideRig::tmsf()
{
    currentDeviceInTmsf(state_);
}

void LoopSideRig::graphicEnableToggle(bool newEnableState)
{
    cmdGraphic->setEnabled(newEnableState);
}

void LoopSideRig::showLoopPlaying()
{
    pnlMsg->setText(QStringLiteral("Playing loop at ") + QString::number(state_.slowDownPercent())
                    + QStringLiteral("% of original speed."));
}

bool LoopSideRig::isWaveViewOpen()
{
    if (waveViewOpenFails)
        throw RuntimeError(91, QStringLiteral("Object variable or With block variable not set"));
    return waveViewOpen;
}

void LoopSideRig::setTrackInfoVisible(TrackInfo control, bool visible)
{
    QWidget* const widgets[] = {lblTracks, lblTrackComments, Comments, tgTracks};
    widgets[static_cast<int>(control)]->setVisible(visible);
}

void LoopSideRig::passEnded(std::int32_t result)
{
    if (!side_ || !side_->latestPassEnded(result))
        return;
    // At the next turn of the event loop, as the main window hands it over.
    if (tmrLoopDLL->Tag == QLatin1String("LOOP"))
        tmrLoopDLL->start(0);
    else
        tmrLoopDLL->stop();
}

} // namespace lentaro::test
