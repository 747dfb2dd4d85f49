// The main window's controls and menus under their names, placed as fixed as the views expect:
// each view shows and hides them (frmMainviews.cpp) but moves only btnLoopPlay.
#include "mainwindow/frmMain.h"

#include "app/programstate.h"
#include "platform/forms/applicationtitle.h"
#include "platform/mci/MMControl.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTableView>

namespace lentaro {

namespace {

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const char* text, const QRect& where)
{
    auto* l = named(new QLabel(QString::fromLatin1(text), parent), name);
    l->setGeometry(where);
    return l;
}

// A button that Return presses while it has the focus, as a dialog's buttons do.
QPushButton* button(QWidget* parent, const char* name, const char* text, const QRect& where)
{
    auto* b = named(new QPushButton(QString::fromLatin1(text), parent), name);
    b->setGeometry(where);
    b->setAutoDefault(true);
    return b;
}

// A caption that answers a click; it takes no focus, so that the keys stay the window's.
QPushButton* flatButton(QWidget* parent, const char* name, const char* text, const QRect& where)
{
    QPushButton* b = button(parent, name, text, where);
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* textBox(QWidget* parent, const char* name, const QRect& where)
{
    auto* t = named(new QLineEdit(parent), name);
    t->setGeometry(where);
    return t;
}

QTableView* grid(QWidget* parent, const char* name, const QRect& where)
{
    auto* g = named(new QTableView(parent), name);
    g->setGeometry(where);
    g->verticalHeader()->hide();
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    return g;
}

mci::MMControl* mciControl(QWidget* parent, const char* name, const char* deviceType,
                           const QPoint& where)
{
    auto* control = named(new mci::MMControl(parent), name);
    control->setDeviceType(QString::fromLatin1(deviceType));
    control->move(where);
    control->resize(control->sizeHint());
    return control;
}

QAction* item(QMenu* menu, const char* name, const char* text,
              const QKeySequence& shortcut = QKeySequence())
{
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

QAction* separator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* menu(QMenuBar* bar, const char* name, const char* text)
{
    QMenu* m = bar->addMenu(QString::fromLatin1(text));
    m->setObjectName(QString::fromLatin1(name));
    return m;
}

} // namespace

void frmMain::buildControls()
{
    setWindowTitle(forms::applicationTitle());
    auto* form = new QWidget(this);
    setCentralWidget(form);

    // The CD's title block and the two grids.
    lblCDTitle = label(form, "lblCDTitle", "CD Title", {10, 10, 70, 24});
    CDTitle = textBox(form, "CDTitle", {85, 10, 300, 24});
    lblArtist = label(form, "lblArtist", "Artist Name", {400, 10, 85, 24});
    Artist = textBox(form, "Artist", {490, 10, 300, 24});
    lblTracks = label(form, "lblTracks", "Tracks", {10, 42, 200, 20});
    tgTracks = grid(form, "tgTracks", {10, 64, 260, 240});
    loopPoints = grid(form, "loopPoints", {280, 64, 510, 240});
    lblTrackComments = label(form, "lblTrackComments", "Track Comments:", {10, 312, 200, 20});
    Comments = textBox(form, "Comments", {10, 334, 780, 24});

    // "SlowPlay": the transformation frames in place of the title block and grids.
    lblTrans = label(form, "lblTrans", "Transformations -", {10, 10, 130, 24});
    lblTransformations = label(form, "lblTransformations",
                               "Slow Down - Speed Up - Transpose - Tune", {145, 10, 400, 24});
    fraSlowdown = named(new QGroupBox(QStringLiteral("Speed"), form), "fraSlowdown");
    fraSlowdown->setGeometry(10, 42, 300, 170);
    fraPitchControl = named(new QGroupBox(QStringLiteral("Pitch"), form), "fraPitchControl");
    fraPitchControl->setGeometry(320, 42, 470, 170);
    QGroupBox* frames[] = {fraSlowdown, fraPitchControl};
    for (int i = 0; i < 2; ++i) {
        // Opaque over the track information, which the CD view's layout may leave shown.
        frames[i]->setAutoFillBackground(true);
        slSlowPct[i] = new QSlider(Qt::Horizontal, frames[i]);
        slSlowPct[i]->setObjectName(QStringLiteral("slSlowPct(%1)").arg(i));
        slSlowPct[i]->setToolTip(
            QStringLiteral("Click and drag to desired play speed percentage."));
    }
    slSlowPct[0]->setGeometry(10, 30, 180, 30);
    slSlowPct[0]->setRange(0, 200);
    slSlowPct[0]->setValue(50);
    slSlowPct[1]->setGeometry(10, 30, 450, 30);
    slSlowPct[1]->setRange(-1200, 1200);
    const char* boxes[] = {"txtSlowPct(0)", "txtSlowPct(1)", "txtSlowPct(2)"};
    const QRect boxPlaces[] = {{195, 32, 50, 26}, {10, 68, 50, 26}, {145, 68, 50, 26}};
    QGroupBox* boxFrames[] = {fraSlowdown, fraPitchControl, fraPitchControl};
    for (int i = 0; i < 3; ++i)
        txtSlowPct[i] = textBox(boxFrames[i], boxes[i], boxPlaces[i]);
    txtSlowPct[0]->setText(QStringLiteral("50"));
    txtSlowPct[1]->setText(QStringLiteral("0"));
    txtSlowPct[2]->setText(QStringLiteral("0"));
    lblPercent = label(fraSlowdown, "lblPercent", "%", {250, 32, 40, 26});
    lblHalfSteps = label(fraPitchControl, "lblHalfSteps", "1/2 Steps", {65, 68, 75, 26});
    lblCents = label(fraPitchControl, "lblCents", "Cents", {200, 68, 60, 26});

    // The presets and pitch steps are labels that answer a click.
    lbl1005Speed = flatButton(fraSlowdown, "lbl1005Speed", "1/5 Speed", {10, 72, 90, 28});
    lbl1003Speed = flatButton(fraSlowdown, "lbl1003Speed", "1/3 Speed", {105, 72, 90, 28});
    lbl1002 = flatButton(fraSlowdown, "lbl1002", "1/2 Speed", {200, 72, 90, 28});
    lblOriginalSpeed =
        flatButton(fraSlowdown, "lblOriginalSpeed", "Original Speed", {10, 106, 135, 28});
    lblDoubleSpeed = flatButton(fraSlowdown, "lblDoubleSpeed", "Double Speed", {155, 106, 135, 28});
    lblSteps[0] = flatButton(fraPitchControl, "lblSteps(0)", "Original Pitch", {330, 68, 130, 26});
    lblHigher = label(fraPitchControl, "lblHigher", "Higher", {10, 102, 48, 26});
    lblLower = label(fraPitchControl, "lblLower", "Lower", {10, 134, 48, 26});
    for (int step = 1; step <= 11; ++step) {
        const int x = 60 + (step - 1) * 28;
        const QByteArray caption = QByteArray::number(step);
        for (int index : {step, 12 + step}) {
            const QByteArray name = "lblSteps(" + QByteArray::number(index) + ")";
            lblSteps[index] = flatButton(fraPitchControl, name.constData(), caption.constData(),
                                         {x, index <= 12 ? 102 : 134, 26, 26});
        }
    }
    lblSteps[12] = flatButton(fraPitchControl, "lblSteps(12)", "+1 Octave", {372, 102, 88, 26});
    lblSteps[24] = flatButton(fraPitchControl, "lblSteps(24)", "-1 Octave", {372, 134, 88, 26});
    tmrSliderFreedom = named(new QTimer(this), "tmrSliderFreedom");

    // The position and the devices.
    fraCurrPosition = named(new QGroupBox(QStringLiteral("Position"), form), "fraCurrPosition");
    fraCurrPosition->setGeometry(10, 368, 300, 78);
    txtCurrentPosition = textBox(fraCurrPosition, "txtCurrentPosition", {10, 24, 90, 26});
    txtCurrentPosition->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtCurrentPosition, &QWidget::customContextMenuRequested, this,
            &frmMain::txtCurrentPosition_RightClick);
    txtCurrentPosition->setReadOnly(true);
    txtCurrentPosition->setText(QStringLiteral("00:00"));
    sbTrackPos = named(new QScrollBar(Qt::Horizontal, fraCurrPosition), "sbTrackPos");
    sbTrackPos->setGeometry(110, 28, 180, 20);
    // Its range is the file's length in seconds: a page of one second keeps the handle small
    // enough to read the position on a short file.
    sbTrackPos->setPageStep(1);
    lblMMCtrl = label(form, "lblMMCtrl", "CD", {325, 368, 100, 20});
    CDControl = mciControl(form, "CDControl", "CDAudio", {325, 392});
    WaveControl = mciControl(form, "WaveControl", "WaveAudio", {325, 392});
    slowControl = mciControl(form, "slowControl", "", {325, 392});
    // A bar of buttons only: its Play and Stop play and stop the slowed-down loop.
    slowControl->useButtonsOnly({mci::Button::Play, mci::Button::Stop});
    WaveControl->hide();

    // The buttons and the keys they answer to.
    cmdSlowPlay = button(form, "cmdSlowPlay", "&Transform", {10, 460, 150, 30});
    btnLoopPlay = button(form, "btnLoopPlay", "&Play Selected Loop", {170, 460, 170, 30});
    cmdStartNewLoop = button(form, "cmdStartNewLoop", "Start New &Loop", {350, 460, 150, 30});
    cmdPrevView = button(form, "cmdPrevView", "&Previous View", {10, 460, 150, 30});
    connect(cmdPrevView, &QPushButton::clicked, this, &frmMain::cmdPrevView_Click);
    cmdGraphic = button(form, "cmdGraphic", "&Wave View", {170, 460, 150, 30});
    connect(cmdGraphic, &QPushButton::clicked, this, &frmMain::cmdGraphic_Click);
    lblF6 = label(form, "lblF6", "Space, F6=Stop/Start", {520, 452, 270, 18});
    lblF7 = label(form, "lblF7", "F7=Play Loop", {520, 470, 270, 18});
    lblF8 = label(form, "lblF8", "F8=Continue from Loop", {520, 488, 270, 18});
    form->setMinimumSize(800, 512);

    pnlMsg = named(new QLabel(statusBar()), "pnlMsg");
    pnlCDlength = named(new QLabel(statusBar()), "pnlCDlength");
    pnlTrackLength = named(new QLabel(statusBar()), "pnlTrackLength");
    statusBar()->addWidget(pnlMsg, 1);
    statusBar()->addPermanentWidget(pnlCDlength);
    statusBar()->addPermanentWidget(pnlTrackLength);
    pnlLoopLength = named(new QLabel(statusBar()), "pnlLoopLength");
    statusBar()->addPermanentWidget(pnlLoopLength);
    pnlLoopLength->hide();

    dlgWave.caption = QStringLiteral("Select wave file to open");
    dlgWave.filter = QStringLiteral("Wave files (*.wav)");

    tmrAfterFormLoad = named(new QTimer(this), "tmrAfterFormLoad");
    connect(tmrAfterFormLoad, &QTimer::timeout, this, &frmMain::tmrAfterFormLoad_Timer);
    tmrLoopDLL = named(new TaggedTimer(this), "tmrLoopDLL");
    tmrLoopDLL->setSingleShot(true);
    connect(tmrLoopDLL, &QTimer::timeout, this, [this] { loops().tmrLoopDLL_Timer(); });
    tmrVostrelHelper = named(new QTimer(this), "tmrVostrelHelper");
}

void frmMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    menuFile = menu(bar, "menuFile", "&File");
    mnuConvertMP3 = item(menuFile, "mnuConvertMP3", "&Convert MP3 to Wave File");
    connect(mnuConvertMP3, &QAction::triggered, this, &frmMain::mnuConvertMP3_Click);
    mnuFileOpen = item(menuFile, "mnuFileOpen", "&Open Wave File", Qt::CTRL | Qt::Key_O);
    connect(mnuFileOpen, &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    mnuSaveSlowedDownFile = item(menuFile, "mnuSaveSlowedDownFile", "&Save Last Slowed-Down File",
                                 Qt::CTRL | Qt::Key_S);
    connect(mnuSaveSlowedDownFile, &QAction::triggered, this,
            &frmMain::mnuSaveSlowedDownFile_Click);
    connect(menuFile, &QMenu::aboutToShow, this, &frmMain::menuFile_Click);
    // Shown disabled in the open menu only: Ctrl+S must still reach its handler, which looks
    // for the file itself.
    connect(menuFile, &QMenu::aboutToHide, this,
            [this] { mnuSaveSlowedDownFile->setEnabled(true); });
    mnuSaveLyrics = item(menuFile, "mnuSaveLyrics", "Save &Lyrics/Chords");
    connect(mnuSaveLyrics, &QAction::triggered, this, [this] { loops().saveLyrics(); });
    mnuMRUsep = separator(menuFile, "mnuMRUsep");
    mnuMRUsep->setVisible(false);
    for (std::size_t i = 0; i < mnuMRU.size(); ++i) {
        mnuMRU[i] = menuFile->addAction(QString());
        mnuMRU[i]->setObjectName(QStringLiteral("mnuMRU(%1)").arg(i + 1));
        mnuMRU[i]->setVisible(false);
        const int index = static_cast<int>(i) + 1;
        connect(mnuMRU[i], &QAction::triggered, this, [this, index] { mnuMRU_Click(index); });
    }
    mnusepx = separator(menuFile, "mnusepx");
    menuExit = item(menuFile, "menuExit", "E&xit");
    connect(menuExit, &QAction::triggered, this, &frmMain::menuExit_Click);

    mnuView = menu(bar, "mnuView", "&View");
    connect(mnuView, &QMenu::aboutToShow, this, &frmMain::mnuView_Click);
    mnuCDView = mnuView->addMenu(QStringLiteral("&CD View"));
    mnuCDView->setObjectName(QStringLiteral("mnuCDView"));
    const char* layouts[] = {"&Normal", "&Loop Detail", "&Big Lyrics"};
    for (std::size_t i = 0; i < mnuChooseView.size(); ++i) {
        mnuChooseView[i] = mnuCDView->addAction(QString::fromLatin1(layouts[i]));
        mnuChooseView[i]->setObjectName(QStringLiteral("mnuChooseView(%1)").arg(i + 1));
        mnuChooseView[i]->setCheckable(true);
        const int index = static_cast<int>(i) + 1;
        connect(mnuChooseView[i], &QAction::triggered, this,
                [this, index] { loops().mnuChooseView_Click(index); });
    }
    mnuWaveView = item(mnuView, "mnuWaveView", "&Wave File", Qt::CTRL | Qt::Key_W);
    mnuWaveView->setCheckable(true);
    connect(mnuWaveView, &QAction::triggered, this, &frmMain::mnuWaveView_Click);
    mnuViewOpen = item(mnuView, "mnuViewOpen", "&Open View");
    mnuViewSave = item(mnuView, "mnuViewSave", "&Save View");
    for (QAction* hidden : {mnuViewOpen, mnuViewSave}) {
        hidden->setVisible(false);
        hidden->setEnabled(false);
    }

    mnuSettings = bar->addAction(QStringLiteral("S&ettings"));
    mnuSettings->setObjectName(QStringLiteral("mnuSettings"));
    connect(mnuSettings, &QAction::triggered, this, &frmMain::mnuSettings_Click);
    mnuWebMaster = menu(bar, "mnuWebMaster", "&Internet");
    const char* pages[] = {"&Update Program", "Visit the &Burrowmere",
                           "&Subscribe to the Free Newsletter", "View Lentaro &FAQ"};
    for (std::size_t i = 0; i < mnuWeb.size(); ++i) {
        mnuWeb[i] = mnuWebMaster->addAction(QString::fromLatin1(pages[i]));
        mnuWeb[i]->setObjectName(QStringLiteral("mnuWeb(%1)").arg(i));
        const int index = static_cast<int>(i);
        connect(mnuWeb[i], &QAction::triggered, this, [this, index] { mnuWeb_Click(index); });
    }
    mnuRecord = bar->addAction(QStringLiteral("&Recorder"));
    mnuRecord->setObjectName(QStringLiteral("mnuRecord"));
    connect(mnuRecord, &QAction::triggered, this, [this] { cd().showRecorder(); });

    menuHelp = menu(bar, "menuHelp", "&Help");
    menuHelpChoice = item(menuHelp, "menuHelpChoice", "&Help and Tutorial", Qt::Key_F1);
    connect(menuHelpChoice, &QAction::triggered, this, &frmMain::menuHelpChoice_Click);
    mnuSoundQualityTips = item(menuHelp, "mnuSoundQualityTips", "&Sound Quality Tips");
    connect(mnuSoundQualityTips, &QAction::triggered, this, &frmMain::mnuSoundQualityTips_Click);
    menuHelp->addSeparator();
    mnuTurnOnAllHints = item(menuHelp, "mnuTurnOnAllHints", "Turn on all Hints");
    mnuTurnOffAllHints = item(menuHelp, "mnuTurnOffAllHints", "Turn off all Hints");
    mnuTurnOffAllHints->setVisible(false);
    connect(mnuTurnOnAllHints, &QAction::triggered, this, &frmMain::mnuTurnOnAllHints_Click);
    connect(mnuTurnOffAllHints, &QAction::triggered, this, &frmMain::mnuTurnOffAllHints_Click);
    mnuCDRequery = item(menuHelp, "mnuCDRequery", "CD Requery", Qt::CTRL | Qt::Key_R);
    connect(mnuCDRequery, &QAction::triggered, this, [this] { cd().checkCDPresent(); });
    mnusep3 = separator(menuHelp, "mnusep3");
    menuAbout = item(menuHelp, "menuAbout", "&About");
    connect(menuAbout, &QAction::triggered, this, &frmMain::menuAbout_Click);

    // The grids' pop-up menus; their items come with the grids' own handlers.
    mnuTrackGridPopup =
        named(new QMenu(QStringLiteral("track grid popup"), this), "mnuTrackGridPopup");
    mnuMakeLoop = item(mnuTrackGridPopup, "mnuMakeLoop", "Make a &Loop for this track");
    connect(mnuMakeLoop, &QAction::triggered, this, [this] { loops().mnuMakeLoop_Click(); });
    mnuOpenNotationFile = item(mnuTrackGridPopup, "mnuOpenNotationFile", "&Open notation file");
    mnuChangeNotationFile =
        item(mnuTrackGridPopup, "mnuChangeNotationFile", "&Change notation file");
    mnuDigitalRec = item(mnuTrackGridPopup, "mnuDigitalRec", "&Record Digitally to Hard Disk");
    mnuViewHelpTracksGrid =
        item(mnuTrackGridPopup, "mnuViewHelpTracksGrid", "View &Help for the Tracks grid");
    cdNotationFile.caption = QStringLiteral("Locate an existing notation file for this track");
    mnuLoopPopup = named(new QMenu(QStringLiteral("loop grid popup"), this), "mnuLoopPopup");
    mnuLoopHelp = item(mnuLoopPopup, "mnuLoopHelp", "View &Help for the Loop Points grid");
}

} // namespace lentaro
