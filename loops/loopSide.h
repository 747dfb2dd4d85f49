#pragma once

#include "loops/frmTrim.h"
#include "loops/gridLayout.h"
#include "loops/loopRows.h"
#include "loops/loopsidecontrols.h"
#include "loops/loopsidehost.h"
#include "loops/makeLoopPoints.h"
#include "loops/passcount.h"
#include "loops/slowPlayRoad.h"
#include "loops/waveLoopCapture.h"
#include "mainwindow/sides.h"

#include <QObject>
#include <QPointer>
#include <QSqlRecord>
#include <QVariant>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace lentaro {

// The main window's whole loop side: the loop rows and their grid, the three grid views, making loops
// live or one per track, the loop maker, playing and trimming loops, and saving their chords and
// lyrics, the slow-down road from Transform to the replayed slowed loop, the speed and pitch
// controls and saving the slowed-down file.
class LoopSideOfMain : public QObject, public LoopSide
{
    Q_OBJECT

public:
    // Over the main window's controls, calling the window through host.
    LoopSideOfMain(LoopSideControls controls, std::unique_ptr<LoopSideHost> host);
    ~LoopSideOfMain() override;

    // LoopSide: the grid, its views and the trim window.
    void mnuChooseView_Click(int index) override;
    void showGridView(int index) override;
    void showLoopDetails() override;
    void highlightLoopPoint() override;
    void playLoop(bool recalc) override { playLoop(recalc, std::nullopt, std::nullopt); }
    void playFromLoopOn() override;
    void saveLyrics() override;
    // Closed at once, though Close leaves the window itself for later.
    bool trimOpen() const override { return trim_ && !trim_->isHidden(); }
    void setTrimZoomEnabled(bool enabled) override;
    void closeTrim() override;

    // LoopSide: the slow-down road (loopSideroad.cpp, loopSidehandover.cpp).
    // Ends the engine side of the road: the tag becomes "STOP", the hand-over is disarmed, and
    // a running pass is stopped and waited for (2 s at most, no user input meanwhile).
    void stopDLL() override;
    void resetLastPass() override;
    // The hand-over of a finished pass: opens and replays tempslow.wav when the pass made it.
    void tmrLoopDLL_Timer() override;
    // Play Selected Loop: in "SlowPlay" the slowed loop, else the loop as recorded, repeating,
    // with the trim window.
    void btnLoopPlay_Click() override;
    bool latestPassEnded(std::int32_t result) override;
    bool passRunning() const override;

    // Copies tempslow.wav to a wave file the user names, never over the working files nor while
    // a pass writes it, and lists it with the recent files once it is whole.
    void saveSlowedDownFile() override;

    // Loop playback on the current device. The in and out points of the trim window while it is
    // open, else of the current loop row, its missing end filled and stored on the way; true
    // (after a message) when they are wrong.
    bool calcInAndOutPoints(int& in1, int& out1);
    // Plays inPt..outPt once, noticing its end; recalc takes fresh points first, and points
    // given replace inPt and outPt.
    void playLoop(bool recalc, std::optional<int> myInPt, std::optional<int> myOutPt);

    // Opens the trim window over the current loop, or gives the open one the current loop.
    void showTrim();
    // Keeps the trim sliders and the waveform view's markers at the same share of their reach
    // when a new slowed-down file replaces the old one: the shares before the pass, the sliders
    // and then the markers (and the wave control's range with them) set to them once the new
    // file is open.
    void setupTrimFormsForSlowdown();
    void adjustTrimForm();
    void adjustGraph();
    // Speed and pitch: the last speed of the current loop (50 when none), the last pitch change
    // of its track or wave file (0 when none), both written back after each started pass; the
    // pitch's half-step and cent boxes; the waveform view's expansion factor.
    int lstPct();
    int lstPitchChange();
    void pitchChangeTextFieldsFill();
    void saveCurrentPct();
    void saveCurrentPitchChange();
    // The speed (at least 5 %) and the pitch (within an octave) shown, the finished pass
    // dropped, and a new one started through btnLoopPlay_Click.
    void changeTransformParameters() override;
    // The speed and pitch shown in the sliders and boxes, without their change handlers.
    void showSpeedAndPitch();
    // The loop row Transform works on, by rowKey (remembered with prevStartTime): its speed is
    // stored on it whatever row is current by then.
    QVariant prevRowKey;
    // True while code sets the sliders: their change handler then does nothing.
    bool settingSliders = false;

    // The speed and pitch controls' events. A released slider ignores input until
    // tmrSliderFreedom fires.
    void slSlowPct_Change(int Index);
    void slSlowPct_Scroll(int Index);
    void slSlowPct_MouseUp(int Index);
    void tmrSliderFreedom_Timer();
    // Enter in a speed (0) or pitch (1 half steps, 2 cents) box.
    void completetxtSlowPctEntry(int Index);
    void lbl1005Speed_Click();
    void lbl1003Speed_Click();
    void lbl1002_Click();
    void lblOriginalSpeed_Click();
    void lblDoubleSpeed_Click();
    void lblSteps_Click(int Index);

    // The slow-down road.
    // Transform: restores the loop's speed and pitch and has temp.wav made for it.
    void cmdSlowPlay_Click();
    // Remembers the view to come back to and the current loop (its start and key); false (after
    // saying so) when there is no current loop.
    bool saveCurrentStatus();
    // Starts a pass over temp.wav at the current speed and pitch, or replays the finished one.
    void playSlowDownLoop();
    bool slowItDown(double factor, double pitchfactor);
    int doKVslowdown(double factor, double pitchfactor);
    // The engine's FFT size for the SoundQuality preference: 512, 1024 or 2048.
    int calcBands();
    // 2 to the power of pitchChange in octaves (1200 cents each).
    double calcPitchFactor();
    bool TempWavPresent();
    // The position bar, loop-length panel, range and trim shares for a rendered pass's file,
    // once it is open.
    bool openSlowdownFile();
    void slowControl_GotFocus();
    void slowControl_PlayClick();
    void slowControl_StopClick();
    void cmdSlowPlay_MouseUp();
    void btnLoopPlay_MouseUp();
    RoadState roadState() const;
    // How long stopDLL waits for a stopped pass to end.
    static constexpr std::chrono::seconds passEndBound{2};

    // The trim window while it is open, else null.
    frmTrim* trim() const { return trimOpen() ? trim_.data() : nullptr; }

    LoopRows& rows() { return rows_; }
    // The cut of wave loops Transform uses; whoever makes the side puts it in place.
    LoopCapture& waveCapture() { return capture_; }
    // The loop maker while it is open, else null.
    makeLoopPoints* loopMaker() const { return maker_; }

    // Making and storing loops.
    void insertLoopPt(const QString& startTimeMs, const QString& startTimeTTMMSS,
                      const QVariant& endtimeMs);
    // The row insertLoopPt stores, for storing several at once.
    QSqlRecord loopRecord(const QString& startTimeMs, const QString& startTimeTTMMSS,
                          const QVariant& endtimeMs) const;
    // A mark where the current device plays, labelled with that position's own text.
    bool insertNewLoopPoint();
    // A mark at aTime (ms) with its position text: tt:mm:ss on a CD, mm:ss on a wave file.
    void fastInsert(const QString& aTime, const QString& startTimeTTMMSS);
    void cmdStartNewLoop_Click();
    void cmdStartNewLoop_MouseUp();
    void mnuMakeLoop_Click() override;

    // The grid's views and help.
    void restoreLoopPointToNormalView();
    void mnuLoopHelp_Click();

    // The grid's events. Ctrl and Alt are the keyboard modifiers of the event.
    void loopPoints_Click();
    void loopPoints_dblclick(bool ctrl, bool alt);
    void loopPoints_keyup(int keyCode, bool ctrl);
    void dtaLoopPoints_Error(int DataErr);

    // How long Start New Loop waits for a CD to pass 100 ms, and the clock it waits on.
    static constexpr std::chrono::seconds cdStartBound{5};
    using MonotonicClock = std::function<std::chrono::steady_clock::duration()>;
    void setClock(MonotonicClock clock) { clock_ = std::move(clock); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followGrid();
    void dtaLoopPoints_Reposition();
    void loopPoints_RowColChange();
    void cmdSlowPlayAdjust();
    void connectSpeedControls();
    void setSpeed(int percent);
    bool sliderInputLocked(QObject* watched, const QEvent& event) const;
    void connectRoad();
    void waitForPassEnd();
    bool passSucceeded() const;
    void showPassFailure(std::int32_t result);
    void setReplayRange();
    void focusWaveView();
    void showRowInGrid();
    // Each loop's chords, then its lyrics, a line each when not empty; UTF-8, CR LF.
    QByteArray chordsAndLyrics() const;
    void rowLimits(int& start, int& end);
    bool pointsAreUsable(int in, int out);
    void playOnce();
    void retryShorter();
    void playWhileRecording();
    void useLayout(const QString& fileName, const QString& layoutName);
    void applyLayout();

    LoopSideControls c_;
    std::unique_ptr<LoopSideHost> host_;
    LoopRows rows_;
    GridLayout layout_ = GridLayout::builtIn();
    QPointer<makeLoopPoints> maker_;
    QPointer<frmTrim> trim_;
    float trimStartFraction_ = 0;
    float trimEndFraction_ = 0;
    float graphStartFraction_ = 0;
    float graphEndFraction_ = 0;
    // While the grid is moved to the current row, its own row change is not taken back.
    bool movingGrid_ = false;
    // The last lastLoopSelected written, so that an unchanged one is not written again.
    QVariant lastLoopSelected_;
    MonotonicClock clock_ = [] { return std::chrono::steady_clock::now().time_since_epoch(); };
    SliderLock sliderLock_; // over the main window's tmrSliderFreedom
    PassCount passes_;
    // The latest pass started was rendered (no real-time play).
    bool renderedPass_ = false;
    WaveLoopCapture capture_{c_, *host_, *this};
};

} // namespace lentaro
