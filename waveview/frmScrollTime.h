#pragma once

#include "app/CFormEx.h"
#include "platform/forms/form.h"
#include "waveview/markerscale.h"
#include "waveview/wmarker.h"

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;

namespace lentaro {

namespace mci {
class MMControl;
}

class WaveChart;
class WaveViewHost;

// The waveform view: temp.wav drawn on the chart, the selection between two markers set with the
// mouse and played through the main window, zoom, and the play line the main window moves.
// Constructing it loads it (Form_Load: temp.wav is read once, for the view's life). The close box
// only hides it; unload() ends it.
class frmScrollTime : public forms::Form, private MarkerScale
{
    Q_OBJECT

public:
    static constexpr const char* formName = "frmScrollTime";
    // Window height kept free below the chart, and how far the chart reaches past the window's
    // right edge, in twips.
    static constexpr int chartBottomMargin = 720;
    static constexpr int chartOverhang = 250;

    explicit frmScrollTime(WaveViewHost& host);
    ~frmScrollTime() override;

    wBox selection;
    int lastBeatPlayed = 0;
    wmarker playPosition;

    WaveChart& chart() { return *Chart; }

    void ReadSlowdownFile();
    void SetDataRange(std::int64_t First, std::int64_t Last);
    void Form_Resize();
    void form_paint();
    void mnuRefresh_Click();
    // 1 To Selection, 2 Out Full.
    void mnuZoom_Click(int Index);
    void mnuGraphicDisplayQuality_Click();
    void mnuSelectAll_Click();
    void Chart_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int x);
    void MMControl1_PlayClick();
    void MMControl1_StopClick();
    void MMControl1_GotFocus();

    // The column of a slowed-timeline time, and the time of a column (rounded).
    int pixelPos(int ms);
    int msPos(int pixel);

    // What the chart was filled with, kept for the view's life.
    int graphStep() const override { return graphStep_; }
    double samplesPerMs() const override { return samplesPerMs_; }
    int tempWavChannels() const { return channels_; }

    QAction* mnuInvert;
    mci::MMControl* MMControl1;
    QLabel* lblHelp;

protected:
    void formUnload() override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    // Stops the main window's current control, waiting for it.
    void stopCurrentControl();
    // The end of the loop on the slowed timeline: the wave control's length less 15 ms, or the
    // chart's end when the control holds nothing.
    void selectToEnd();

    double expansionFactor() override;
    const WaveChart& chart() const override { return *Chart; }
    void markersChanged() override;

    WaveViewHost& host_;
    WaveChart* Chart;
    QMenuBar* menuBar_;
    QMenu* mnuZoom;
    QMenu* mnuOptions;
    wmarker conversionMarker;
    std::unique_ptr<CFormEx> windowStyle;
    bool formLoading = false;
    int graphStep_ = 1;
    double samplesPerMs_ = 0;
    int channels_ = 0;
};

} // namespace lentaro
