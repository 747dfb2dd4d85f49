#pragma once

#include "app/CFormEx.h"
#include "platform/forms/form.h"
#include "platform/forms/prompts.h"
#include "waveview/chartmap.h"
#include "waveview/markerscale.h"
#include "waveview/wmarker.h"

#include <cstdint>
#include <memory>
#include <optional>

#include <QPoint>

class QAction;
class QKeyEvent;
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
// mouse and played through the main window, zoom, the play line the main window moves, and the
// rhythm grid over the chart, kept on the music in milliseconds through zooms and resizes.
// Constructing it loads it (Form_Load: temp.wav is read once, for the view's life). The close box
// only hides it; unload() ends it.
class wGrid2;

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

    // The rhythm grid (frmScrollTimegrid.cpp).
    void mnuAlignGridToSelection_Click();
    void mnuBPM_Click();
    void mnuBPMinute_Click();
    // Beats per minute of the grid, one decimal; nothing (after a message) when its beats are
    // too narrow to give one.
    std::optional<float> getGridTempo();
    // Selects beat theBeat of the grid, counted from the first measure's first line inside the
    // chart; false, the selection unchanged, when that beat has no width or lies past the last
    // line.
    bool highlightBeat(int theBeat);
    void gridRefresh();
    void mnuGridMaster_Click();
    void mnuRulers_Click(int Index);
    void mnuShowHide_Click();
    // The chart's map between columns and ms as it stands.
    ChartMap chartMap();
    // Where the grid stands, in ms of the slowed-down timeline: its first line and one beat.
    double gridStartMs() const { return samplesPerMs_ > 0 ? gridStartSamples_ / samplesPerMs_ : 0; }
    double gridWidthMs() const { return samplesPerMs_ > 0 ? gridBeatSamples_ / samplesPerMs_ : 0; }

    // Keys (frmScrollTimekeys.cpp); codes and shift mask as frmMain::Form_KeyDown's.
    void Form_KeyDown(int& KeyCode, int Shift);
    void Form_KeyPress(int KeyAscii);
    void Form_KeyUp(int KeyCode, int Shift);

    // Preferences and colours (frmScrollTimeprefs.cpp).
    void loadFormPrefs();
    std::uint32_t changeColorProperty(const QString& prefName, std::uint32_t currentColor);
    void mnuBackgroundColor_Click();
    void mnuGraphColor_Click();
    // 1 beats, 2 halves, 3 thirds.
    void mnuColors_Click(int Index);
    // "&Invert Selection" chosen: its check mark, turned over, is stored.
    void mnuInvert_Click();

    // What the chart was filled with, kept for the view's life.
    int graphStep() const override { return graphStep_; }
    double samplesPerMs() const override { return samplesPerMs_; }
    int tempWavChannels() const { return channels_; }

    // Shows the view again where it was when it was closed.
    void showAgain();

    QAction* mnuInvert;
    QAction* mnuShowHide;
    // Index 1..3 (element 0 unused), as the menu numbers them.
    QAction* mnuRulers[4] = {};
    mci::MMControl* MMControl1;
    QLabel* lblHelp;
    wGrid2* wGrid21;

protected:
    void formUnload() override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void buildControls();
    // The grid over the chart, and its menus "&Glissom" and "&Colors".
    void buildGrid();
    void Form_Load();
    // The view's message and input boxes: owned by it, so shown above it.
    forms::Answer MsgBox(const QString& text);
    QString InputBox(const QString& prompt, const QString& defaultText = {});
    // Stops the main window's current control, waiting for it.
    void stopCurrentControl();
    // The end of the loop on the slowed timeline: the wave control's length less 15 ms, or the
    // chart's end when the control holds nothing.
    void selectToEnd();

    void wGrid21_firstLineChanged();
    void wGrid21_beatWidthChanged();
    // Draws the grid from where it is kept, at the chart's present size and range; the record
    // stays as it is.
    void placeGrid();
    // The slowed-timeline time of beat line `index` (0 the first line) of the grid.
    double beatLineMs(int index) const;
    // Stops what plays and selects and plays one beat; false when there is no such beat.
    bool playBeat(int beat);
    void Form_Unload();

    double expansionFactor() override;
    const WaveChart& chart() const override { return *Chart; }
    void markersChanged() override;
    QWidget* promptOwner() override { return this; }

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

    // The grid as it is kept, in sample values of the slowed-down timeline (the markers' unit
    // times the step): its first line and one beat. Its twips are drawn from these.
    double gridStartSamples_ = 0;
    double gridBeatSamples_ = 0;
    bool placingGrid_ = false;
    // Where the view was when its close box hid it.
    std::optional<QPoint> closedAt_;
    // The map at the opening layout (the load size, zoomed out full), in which the loop row keeps
    // the grid's twips.
    ChartMap openingMap_;
    int keyUpBeat = 0;
};

} // namespace lentaro
