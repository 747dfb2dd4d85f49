#pragma once

#include "loops/loopsidecontrols.h"
#include "loops/sliderLock.h"

#include <QVariant>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace lentaro {

namespace mci {
class MMControl;
}

class LoopRows;

// The trim window: two sliders over the current loop's start and end (one second of margin on
// each side), stepping to the neighbouring section, widening the sliders, and storing the trimmed
// limits in the loop's row. It lives inside the main window over the tracks grid.
class frmTrim : public QWidget
{
    Q_OBJECT

public:
    // play: plays the loop between two points without reading the row again. rowLimits: the
    // current loop row's start and end, its missing end filled and stored.
    using PlayLoop = std::function<void(int in, int out)>;
    using RowLimits = std::function<void(int& start, int& end)>;
    frmTrim(const LoopSideControls& controls, LoopRows& rows, PlayLoop play, RowLimits rowLimits);

    // Takes the current loop row's limits (its missing end filled and stored); the row is the one
    // Save writes, whatever row is current by then.
    void setTrimLimits();
    void slStart_Change(int index);
    // Grabbing a slider stops the play; a released slider takes no input until the lock ends.
    void slStart_MouseDown();
    void slStart_MouseUp(int index);
    void tmrSliderFreedom_Timer();
    bool sliderLocked(int index) const { return lock_.locked(index); }
    // Plays the last moments before the end slider's new place, once the pause after the move
    // is over.
    void previewEnd();
    void cmdNext_Click(int index);
    void cmdZoom_Click();
    void cmdSave_Click();
    void cmdHelp_Click();
    // The transport bar: Play plays from the trimmed start, Stop stops the loop.
    void MMControl1_PlayClick();
    void MMControl1_StopClick();
    // Before the window goes: the CD view's Normal layout shows the track information again.
    void Form_QueryUnload();

    QLabel* lblPoint[2];
    QSlider* slStart[2];
    // Where each slider stands, in ms as the loop grid shows the loop's limits.
    QLabel* lblTime[2];
    QPushButton* cmdNext[3]; // 1 Prev, 2 Next
    QPushButton* cmdZoom;
    QPushButton* cmdSave;
    QPushButton* cmdClose;
    QPushButton* cmdHelp;
    mci::MMControl* MMControl1;
    QTimer* tmrSliderFreedom = new QTimer(this);
    // The pause between a move of the end slider and the preview of the end.
    QTimer* tmrPreviewEnd;

    static constexpr int marginMs = 1000;
    static constexpr int zoomStepMs = 5000;
    // How much of the loop's end a move of the end slider lets hear, and from what loop length.
    static constexpr int previewEndMs = 3000;
    static constexpr int previewPauseMs = 1000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Over the tracks grid where the loop grid is beside it, else under the loop grid; the
    // controls laid out to fit.
    void place();
    void arrange(bool narrow);
    void showTime(int index, int ms);
    // The device's length, the sliders' upper bound.
    int mediaLength() const;
    void setRange(int index, int minimum, int maximum);

    LoopSideControls c_;
    LoopRows& rows_;
    PlayLoop play_;
    RowLimits rowLimits_;
    QVariant rowKey_;             // the loop row the limits came from
    QObject* loopGrid_ = nullptr; // the window follows its moves
    bool settingSliders_ = false;
    bool settingLimits_ = false;
    SliderLock lock_{*tmrSliderFreedom};
};

} // namespace lentaro
