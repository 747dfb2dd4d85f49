#include "mainwindow/frmMain.h"
#include "mainwindow/ignoringerrors.h"

#include "app/databasemessage.h"
#include "app/exitprogram.h"
#include "app/frmAbout.h"
#include "app/hints.h"
#include "app/messageForm.h"
#include "app/messages.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "app/schemaupgrade.h"
#include "app/tooltips.h"
#include "app/windowhelpers.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "platform/shell/programfolder.h"
#include "trace/tracescope.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSqlTableModel>
#include <QTableView>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

} // namespace

// The play state's view of one MCI control's transport buttons.
class frmMain::Transport : public TransportButtons
{
public:
    explicit Transport(mci::MMControl& control) : control_(control) {}
    void setPlayEnabled(bool enabled) override
    {
        control_.setButtonEnabled(mci::Button::Play, enabled);
    }
    void setStopEnabled(bool enabled) override
    {
        control_.setButtonEnabled(mci::Button::Stop, enabled);
    }

private:
    mci::MMControl& control_;
};

frmMain::frmMain(const SidesMaker& makeSides)
{
    setObjectName(QString::fromLatin1(formName));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    buildMenus();
    connectTransport();
    connect(&state_, &MainState::loopsRebound, this,
            [this] { loopPoints->setModel(state_.dtaLoopPoints); });
    forms::addLoadedForm(this);
    cdTransport_ = std::make_unique<Transport>(*CDControl);
    waveTransport_ = std::make_unique<Transport>(*WaveControl);
    programState().gvPlayState.setControls(cdTransport_.get(), waveTransport_.get());
    passEndInPlace_.emplace(passEndReceiver, *this);
    cancelTargetsInPlace_.emplace(progressCancelTargets, *this);
    faceInPlace_.emplace(mainWindowFace, *this);
    optionsInPlace_.emplace(optionsTargets, *this);
    sides_ = makeSides(*this);
    qApp->installEventFilter(this);
    Form_Load();
}

frmMain::~frmMain()
{
    programState().gvPlayState.setControls(nullptr, nullptr);
}

void frmMain::Form_Load()
{
    TraceScope trace(module, "Sub Form_Load");
    trace.run([&] {
        formLoaded_ = false;
        QMainWindow::setEnabled(false);
        if (isLoaded(QString::fromLatin1(messageForm::formName)))
            Message(QStringLiteral("Loading Main Form"), QStringLiteral("Starting Lentaro"));
        CDControl->setWait(false);
        programState().gvDebugging = false;
        centerform(this);
        stashTooltips(this);
        forgetTyping();
        cd().autoplay(false);
        cd().CDandRecordingSetup();
        upgradeSchemaIfOld();
        // lentaro.mdb did not open for the upgrade: the program is on its way out.
        if (programState().gvExiting)
            return;
        initializeStateVariables();
        state_.setCurrentMMControl(CDControl);
        if (opensMaximized(screen()->geometry().width()))
            setWindowState(Qt::WindowMaximized);
        else
            centerform(this);
        QString reason;
        if (!state_.bindDatabase(programFolder() + QStringLiteral("/lentaro.mdb"), reason)) {
            databaseDidNotOpen(reason);
            return;
        }
        getMRUs();
        getPrefs();
        cd().driveCount();
        loopPoints->setGeometry(loopPoints->x(), tgTracks->y(), loopPoints->width(),
                                tgTracks->height());
        // Armed only now: a started timer with no interval would fire at once.
        tmrAfterFormLoad->start(200);
        formLoaded_ = true;
        QMainWindow::setEnabled(true);
    });
}

void frmMain::initializeStateVariables()
{
    TraceScope trace(module, "Sub initializeStateVariables");
    trace.run([&] {
        ProgramState& program = programState();
        forgetTyping();
        program.gvPlayState.setState(false);
        program.gvCurrentTrack = 0;
        state_.setCurrentView(1);
        dlgWave.folder = programFolder();
        loops().resetLastPass();
        program.gvLoopHighlight = false;
        program.gvTrackHighlight = false;
        program.gvGraphStep = 20;
    });
}

void frmMain::getPrefs()
{
    TraceScope trace(module, "Sub getPrefs");
    trace.run([&] {
        ProgramState& program = programState();
        readPref(QStringLiteral("AutoSlow"), program.gvAutoSlow, true);
        readPref(QStringLiteral("PreviewEnd"), program.gvPreviewEnd, false);
        readPref(QStringLiteral("DeleteTempFiles"), program.gvDeleteTempFiles, true);
        readPref(QStringLiteral("ShowTooltips"), program.gvShowTooltips, true);
        checkTooltips();
        readPref(QStringLiteral("SwitchToDigitalAskedAndAnswered"),
                 program.gvSwitchToDigitalAskedAndAnswered, true);
        readPref(QStringLiteral("Realtime"), program.gvRealtime, true);
        readPref(QStringLiteral("SoundQuality"), program.gvSoundQuality, 3);
    });
}

void frmMain::tmrAfterFormLoad_Timer()
{
    ProgramState& program = programState();
    if (program.gvExiting || !formLoaded_)
        return;
    program.gvTrackHighlight = false;
    tmrAfterFormLoad->stop();
    changeToMode(QStringLiteral("CD"), true);
    if (isLoaded(QString::fromLatin1(frmAbout::formName)))
        forms::loadForm<frmAbout>().unload();
    cd().startupDriveCheck();
    cd().checkCDPresent();
    if (CDControl->tracks() == 0 && program.gvDigitalRecordingOK) {
        cd().trayOpen();
        QCoreApplication::processEvents();
        cd().trayClose();
        QCoreApplication::processEvents();
    }
    ignoringErrors([&] { show(); });
    ignoringErrors([&] { Message(QStringLiteral("off")); });
    ignoringErrors([&] { ShowHint(QStringLiteral("warnTutorialExists"), false); });
    program.gvStartingUp = false;
}

bool frmMain::unloadOnClose(bool fromTitleBar)
{
    if (unloaded_)
        return true;
    if (fromTitleBar && programState().gvSlowMode) {
        cmdPrevView_Click();
        return false;
    }
    // The exit path closes this window again; that close finds it unloaded.
    unloaded_ = true;
    Form_Unload();
    return true;
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Never held back once the program is on its way out.
    const bool fromTitleBar = event->spontaneous() && !programState().gvExiting;
    event->setAccepted(unloadOnClose(fromTitleBar));
}

void frmMain::Form_Unload()
{
    TraceScope trace(module, "Sub Form_Unload");
    trace.run([&] {
        for (mci::MMControl* device : {CDControl, WaveControl}) {
            device->setWait(true);
            device->setCommand(QStringLiteral("Stop"));
            device->setCommand(QStringLiteral("Close"));
        }
        cd().autoplay(true);
        state_.setCurrentMMControl(nullptr);
        exitProgram();
    });
}

void frmMain::menuExit_Click()
{
    TraceScope trace(module, "Sub menuExit_Click");
    trace.run([&] { exitProgram(); });
}

void frmMain::playFileDoneCallBack(std::int32_t result)
{
    if (!loops().latestPassEnded(result))
        return;
    // At the next turn of the event loop: the replay follows the live pass without a gap.
    if (tmrLoopDLL->Tag == QLatin1String("LOOP"))
        tmrLoopDLL->start(0);
    else
        tmrLoopDLL->stop();
}

void frmMain::stopEnginePass()
{
    loops().stopDLL();
    // Nothing is replayed after a cancelled pass.
    programState().gvPlayState.setState(false);
}

void frmMain::stopDigitalRead()
{
    cd().stopDigitalRead();
}

void frmMain::changeToCDView()
{
    changeToMode(QStringLiteral("CD"));
}

void frmMain::setTrackInfoVisible(TrackInfo control, bool visible)
{
    QWidget* const widgets[] = {lblTracks, lblTrackComments, Comments, tgTracks};
    widgets[static_cast<int>(control)]->setVisible(visible);
}

void frmMain::comeForward()
{
    // Start-up shows the window when it is done.
    if (isHidden())
        return;
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

bool opensMaximized(int screenWidthPixels)
{
    return screenWidthPixels == 640;
}

} // namespace lentaro
