#pragma once

#include "app/mainwindowface.h"
#include "app/optionstargets.h"
#include "app/passend.h"
#include "app/progresscancel.h"
#include "app/stateVariable.h"
#include "mainwindow/keycodes.h"
#include "mainwindow/liveupdate.h"
#include "mainwindow/mainstate.h"
#include "mainwindow/sides.h"
#include "mainwindow/taggedtimer.h"
#include "platform/forms/prompts.h"
#include "platform/shell/service.h"

#include <QMainWindow>

#include <array>
#include <chrono>
#include <functional>
#include <optional>

class QAction;
class QDateTime;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QSlider;
class QTableView;

namespace lentaro {

namespace mci {
class MMControl;
}

class frmMain;
struct CdSideControls;
struct LoopSideControls;
struct WaveViewSideControls;

// Makes the sides one main window calls, before its load runs.
using SidesMaker = std::function<MainWindowSides(frmMain&)>;

// The main window: the one window that stays open while the program runs. Constructing it
// loads it hidden and disabled (Form_Load); its one-shot timer then shows it in the "CD" view.
// Its title-bar close leaves "SlowPlay" for the previous view, and every other close leaves
// the program through the exit path.
class frmMain : public QMainWindow,
                public PassEndReceiver,
                public ProgressCancelTargets,
                public MainWindowFace,
                public OptionsTargets
{
    Q_OBJECT

public:
    static constexpr const char* formName = "frmMain";
    static constexpr int liveUpdateInterval = lentaro::liveUpdateInterval;

    explicit frmMain(const SidesMaker& makeSides);
    ~frmMain() override;

    MainState& state() { return state_; }
    LoopSide& loops() { return *sides_.loops; }
    CdSide& cd() { return *sides_.cd; }
    WaveViewSide& waveView() { return *sides_.waveView; }
    // The controls each side drives. Defined where the side is made (program/), which knows
    // the side's struct; this layer does not.
    CdSideControls cdControls();
    LoopSideControls loopControls();
    WaveViewSideControls waveViewControls();

    // Start-up and shutdown.
    void tmrAfterFormLoad_Timer();
    void menuExit_Click();

    // Views and layout.
    void changeToMode(const QString& theMode, bool suppressRefresh = false);
    void MMsuspend(const QString& theMode = QString());
    void MMgo();
    void visibilityAndPositionAdjust();
    void auxiliaryFormAdjust();
    void cmdPrevView_Click();
    void cmdGraphic_Click();
    void graphicEnableToggle(bool newEnableState);
    bool playing();

    // Wave files and their rows.
    void mnuFileOpen_Click();
    // Opens fn in the wave device and shows its length; false (after the device's message) when
    // it does not open, the file open before then open again and nothing else changed.
    bool playWaveFile(const QString& fn);
    // -1 when the file has no row, 0 when WAVs now stands on it, waveSearchFailed when the
    // search itself failed (reported).
    static constexpr int waveSearchFailed = -2;
    int selectWave(const QString& FileName, int fileLength, const QDateTime& fileDate);
    bool addWave();
    bool addWaveDB();
    void addWaveLoop();
    void refreshDisplayForNewWave();

    // The recent-files list: the four mnuMRU items, 1 the most recent.
    void getMRUs();
    void setMRUs();
    void addToMRUs(const QString& fn);
    int foundInMRUs(const QString& fn);
    void deleteMenuItem(int Index);
    void bumpMRUs();
    void visifyMRUlist();
    void mnuMRU_Click(int Index);
    // The path item Index (1..4) stands for; "" for a free slot.
    QString mruPath(int Index) const;

    // The transport of the current device.
    void ms();
    void tmsf();
    void updatePosition();
    void sbTrackPos_Scroll(int value);
    void sbTrackPos_Change();
    void togglePlayState();
    void updateWaveStatus();
    // The status text of the slowed-down loop that plays at the current speed.
    void showLoopPlaying();
    void WaveControl_Done(int NotifyCode);
    void WaveControl_PlayClick(bool& Cancel);
    void WaveControl_PauseClick(bool& Cancel);
    void WaveControl_StopClick(bool& Cancel);
    void WaveControl_PrevClick(bool& Cancel);
    void WaveControl_StatusUpdate();
    void WaveControl_GotFocus();

    // Keys, seen before the focused control, with the codes of mainwindow/keycodes.h. Setting
    // KeyCode or KeyAscii to 0 consumes the key or character. Form_KeyDown is also called by
    // the trim window and the waveform view.
    void Form_KeyDown(int& KeyCode, int Shift);
    void Form_KeyPress(int& KeyAscii);

    // The one "last typing" stamp: typing into the CD fields or an editing grid sets it, and a
    // space outside them passes on to the focused control only within 10 s of it. Monotonic,
    // so no change of the wall clock (or midnight) moves it.
    using MonotonicClock = std::function<std::chrono::steady_clock::duration()>;
    void setClock(MonotonicClock clock) { clock_ = std::move(clock); }
    void stampTyping() { lastTypingTime_ = clock_(); }
    std::chrono::steady_clock::duration sinceTyping() const { return clock_() - lastTypingTime_; }

    // The menus no side owns.
    void mnuSettings_Click();
    void mnuConvertMP3_Click();
    void menuAbout_Click();
    void menuFile_Click();
    void mnuSaveSlowedDownFile_Click();
    // The View menu opens: its checks show the current view and layout.
    void mnuView_Click();
    void mnuWaveView_Click();
    // Opens the manual with the desktop's PDF reader, saying why when it cannot.
    void menuHelpChoice_Click();
    void mnuSoundQualityTips_Click();
    // Opens page Index of the product's web site: 0 update, 1 home, 2 newsletter, 3 FAQ.
    void mnuWeb_Click(int Index);
    // Stores every hint's "show it" preference as on.
    void hintToggle(bool on);
    void mnuTurnOnAllHints_Click();
    void mnuTurnOffAllHints_Click();
    // A right click on the position box explains its format.
    void txtCurrentPosition_RightClick();

    // The end of an engine pass, on the user-interface thread: the end of the latest pass of a
    // loop ("LOOP") arms the pass timer for 200 ms, once; any other latest end stops it, and the
    // end of a pass followed by another changes nothing.
    void playFileDoneCallBack(std::int32_t result);

    // PassEndReceiver, ProgressCancelTargets, MainWindowFace.
    void passEnded(std::int32_t result) override { playFileDoneCallBack(result); }
    void stopEnginePass() override;
    void stopDigitalRead() override;
    void changeToCDView() override;
    void setEnabled(bool enabled) override { QMainWindow::setEnabled(enabled); }
    void setTrackInfoVisible(TrackInfo control, bool visible) override;
    void comeForward() override;

    // OptionsTargets, for the settings dialog.
    void CDsetup() override { cd().CDsetup(); }
    bool showMixer() override { return cd().showMixer(); }
    void btnLoopPlay_Click() override { loops().btnLoopPlay_Click(); }
    void checkTooltips() override;

    // A close of the window: true from its title bar or control menu while no exit is under
    // way. Returns whether the window goes (a title-bar close in "SlowPlay" only leaves that
    // view); the first close that goes unloads the window and runs the exit path.
    bool unloadOnClose(bool fromTitleBar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The controls, under their names.
    mci::MMControl* CDControl;
    mci::MMControl* WaveControl;
    mci::MMControl* slowControl;
    QTableView* tgTracks;
    QTableView* loopPoints;
    QTimer* tmrAfterFormLoad;
    TaggedTimer* tmrLoopDLL;
    QTimer* tmrVostrelHelper;
    QLabel* lblCDTitle;
    QLineEdit* CDTitle;
    QLabel* lblArtist;
    QLineEdit* Artist;
    QLabel* lblTracks;
    QLabel* lblTrackComments;
    QLineEdit* Comments;
    QLabel* lblTrans;
    QLabel* lblTransformations;
    QGroupBox* fraSlowdown;
    QGroupBox* fraPitchControl;
    std::array<QSlider*, 2> slSlowPct;
    // Speed in percent, then the pitch as half steps and cents.
    std::array<QLineEdit*, 3> txtSlowPct;
    QLabel* lblPercent;
    QLabel* lblHalfSteps;
    QLabel* lblCents;
    // The speed presets and the pitch steps: 0 the original pitch, 1 to 12 up, 13 to 24 down.
    QPushButton* lbl1005Speed;
    QPushButton* lbl1003Speed;
    QPushButton* lbl1002;
    QPushButton* lblOriginalSpeed;
    QPushButton* lblDoubleSpeed;
    std::array<QPushButton*, 25> lblSteps;
    QLabel* lblHigher;
    QLabel* lblLower;
    // Frees the speed and pitch sliders a moment after a release.
    QTimer* tmrSliderFreedom;
    QGroupBox* fraCurrPosition;
    QLineEdit* txtCurrentPosition;
    QScrollBar* sbTrackPos;
    QLabel* lblMMCtrl;
    QPushButton* cmdSlowPlay;
    QPushButton* btnLoopPlay;
    QPushButton* cmdStartNewLoop;
    QPushButton* cmdPrevView;
    QPushButton* cmdGraphic;
    QLabel* lblF6;
    QLabel* lblF7;
    QLabel* lblF8;
    QLabel* pnlMsg;
    QLabel* pnlCDlength;
    QLabel* pnlTrackLength;
    QLabel* pnlLoopLength;
    forms::FileDialogRequest dlgWave;

    // The menus.
    QMenu* menuFile;
    QAction* mnuConvertMP3;
    QAction* mnuFileOpen;
    QAction* mnuSaveSlowedDownFile;
    QAction* mnuSaveLyrics;
    QAction* mnuMRUsep;
    std::array<QAction*, 4> mnuMRU;
    QAction* mnusepx;
    QAction* menuExit;
    QMenu* mnuView;
    QMenu* mnuCDView;
    std::array<QAction*, 3> mnuChooseView;
    QAction* mnuWaveView;
    QAction* mnuViewOpen;
    QAction* mnuViewSave;
    QAction* mnuSettings;
    QMenu* mnuWebMaster;
    std::array<QAction*, 4> mnuWeb;
    QAction* mnuRecord;
    QMenu* menuHelp;
    QAction* menuHelpChoice;
    QAction* mnuSoundQualityTips;
    QAction* mnuTurnOnAllHints;
    QAction* mnuTurnOffAllHints;
    QAction* mnuCDRequery;
    QAction* mnusep3;
    QAction* menuAbout;
    QMenu* mnuTrackGridPopup;
    QAction* mnuMakeLoop;
    QAction* mnuOpenNotationFile;
    QAction* mnuChangeNotationFile;
    QAction* mnuDigitalRec;
    QAction* mnuViewHelpTracksGrid;
    forms::FileDialogRequest cdNotationFile;
    QMenu* mnuLoopPopup;
    QAction* mnuLoopHelp;

    void buildControls();
    void forgetTyping() { lastTypingTime_ = clock_() - std::chrono::seconds(10); }
    bool typing();
    void buildMenus();
    void showWithReportsPaused(const std::function<void()>& showDialog);
    void connectTransport();
    void setMruPath(int Index, const QString& path);
    int waveLengthMs();
    bool openInWaveDevice(const QString& fn);
    void saveRecording();
    // The status text for what the wave device does now: playing, stopped, or SlowPlay paused.
    void showPlayStatus();
    void Form_Load();
    void initializeStateVariables();
    void getPrefs();
    void Form_Unload();
    void Form_Resize();
    void initCDview(bool suppressRefresh);
    bool initWaveView();
    void initSlowView();
    void stopRecording();
    bool doWaveDBThing();

    MainState state_;
    MainWindowSides sides_;
    bool formLoaded_ = false;
    bool unloaded_ = false;
    MonotonicClock clock_ = [] { return std::chrono::steady_clock::now().time_since_epoch(); };
    std::chrono::steady_clock::duration lastTypingTime_{};
    // While the filter hands on a key it saw, so that the key's way up to the parents is not
    // seen again.
    bool deliveringKey_ = false;
    // Between a drag of sbTrackPos's thumb and its release; the value the drag started from.
    bool trackPosScrolling_ = false;
    int dragStartValue_ = 0;

    class Transport;
    std::unique_ptr<Transport> cdTransport_;
    std::unique_ptr<Transport> waveTransport_;
    std::optional<ScopedOverride<PassEndReceiver>> passEndInPlace_;
    std::optional<ScopedOverride<ProgressCancelTargets>> cancelTargetsInPlace_;
    std::optional<ScopedOverride<MainWindowFace>> faceInPlace_;
    std::optional<ScopedOverride<OptionsTargets>> optionsInPlace_;
};

// A screen this many pixels wide is too small for the window anywhere but maximised.
bool opensMaximized(int screenWidthPixels);

} // namespace lentaro
