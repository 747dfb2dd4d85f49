// The rhythm grid over the chart: fitting it to the selection, the measure, the tempo, one beat
// as the selection, showing it, and keeping it on the music in milliseconds.

#include "waveview/frmScrollTime.h"

#include "app/Preference.h"
#include "app/preferencetext.h"
#include "controls/wgrid2/wGrid2.h"
#include "mainwindow/ignoringerrors.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screenunits.h"
#include "trace/tracescope.h"
#include "waveview/gridtempo.h"
#include "waveview/wavechart.h"
#include "waveview/waveviewhost.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>

#include <cmath>

namespace lentaro {

namespace {

constexpr char module[] = "scrollFastest";
constexpr int beatWidthMax = 32767;
constexpr int beatWidthMin = -32768;

} // namespace

void frmScrollTime::buildGrid()
{
    // As the window is designed: hidden, without half or third lines.
    wGrid21 = new wGrid2(this);
    wGrid21->setObjectName(QStringLiteral("wGrid21"));
    wGrid21->hide();
    wGrid21->setHalvesVisible(false);
    wGrid21->setThirdsVisible(false);
    connect(wGrid21, &wGrid2::firstLineChanged, this, [this] { wGrid21_firstLineChanged(); });
    connect(wGrid21, &wGrid2::beatWidthChanged, this, [this] { wGrid21_beatWidthChanged(); });
    // The grid lies over the chart with its own geometry: a click on a line that drags nothing
    // is the chart's.
    connect(wGrid21, &wGrid2::clickedThrough, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x) {
                Chart_MouseDown(button, modifiers, x);
            });

    QMenu* mnuGridMaster = menuBar_->addMenu(QStringLiteral("&Glissom"));
    connect(mnuGridMaster, &QMenu::aboutToShow, this, [this] { mnuGridMaster_Click(); });
    mnuShowHide = mnuGridMaster->addAction(QStringLiteral("Show &Grid"));
    mnuShowHide->setCheckable(true);
    connect(mnuShowHide, &QAction::triggered, this, [this] { mnuShowHide_Click(); });
    connect(mnuGridMaster->addAction(QStringLiteral("&Align Grid To Selection")),
            &QAction::triggered, this, [this] { mnuAlignGridToSelection_Click(); });
    connect(mnuGridMaster->addAction(QStringLiteral("Beats Per Measure...")), &QAction::triggered,
            this, [this] { mnuBPM_Click(); });
    connect(mnuGridMaster->addAction(QStringLiteral("Beats Per Minute...")), &QAction::triggered,
            this, [this] { mnuBPMinute_Click(); });
    const QString rulers[] = {QStringLiteral("&Beats (Quarter notes)"),
                              QStringLiteral("&Eighth notes"), QStringLiteral("&Triplets/Swing")};
    QMenu* mnuRulerMenu = mnuGridMaster->addMenu(QStringLiteral("Select &Rulers"));
    QMenu* mnuColors = menuBar_->addMenu(QStringLiteral("&Colors"));
    for (int index = 1; index <= 3; ++index) {
        mnuRulers[index] = mnuRulerMenu->addAction(rulers[index - 1]);
        // The beats are always shown: their item has no check mark to turn.
        mnuRulers[index]->setCheckable(index != 1);
        connect(mnuRulers[index], &QAction::triggered, this,
                [this, index] { mnuRulers_Click(index); });
        connect(mnuColors->addAction(rulers[index - 1]), &QAction::triggered, this,
                [this, index] { mnuColors_Click(index); });
    }
}

ChartMap frmScrollTime::chartMap()
{
    const QRect plot = Chart->chartRect();
    const double factor = expansionFactor();
    return ChartMap{Chart->xMin(), Chart->xMax(), plot.left(), plot.right(),
                    samplesPerMs_ > 0 ? factor / samplesPerMs_ : 0};
}

void frmScrollTime::wGrid21_firstLineChanged()
{
    TraceScope trace(module, "Sub wGrid21_firstLineChanged");
    trace.run([&] {
        const ChartMap map = chartMap();
        if (placingGrid_ || !map.usable())
            return;
        gridStartSamples_ =
            map.msOf(wGrid21->FirstLine() / forms::twipsPerPixel(*this)) * samplesPerMs_;
    });
}

void frmScrollTime::wGrid21_beatWidthChanged()
{
    TraceScope trace(module, "Sub wGrid21_beatWidthChanged");
    trace.run([&] {
        const ChartMap map = chartMap();
        if (placingGrid_ || !map.usable())
            return;
        gridBeatSamples_ =
            wGrid21->BeatWidth() / forms::twipsPerPixel(*this) * map.msPerPixel() * samplesPerMs_;
    });
}

void frmScrollTime::placeGrid()
{
    const ChartMap map = chartMap();
    if (!map.usable())
        return;
    const QScopedValueRollback<bool> placing(placingGrid_, true);
    const double tppx = forms::twipsPerPixel(*this);
    ignoringErrors([&] {
        wGrid21->place(tppx * map.pixelOf(gridStartMs()), tppx * gridWidthMs() / map.msPerPixel());
    });
}

double frmScrollTime::beatLineMs(int index) const
{
    return gridStartMs() + index * gridWidthMs();
}

void frmScrollTime::mnuAlignGridToSelection_Click()
{
    TraceScope trace(module, "Sub mnuAlignGridToSelection_Click");
    trace.run([&] {
        const QString answer =
            InputBox(QStringLiteral("Enter the number of beats in the current selection"),
                     QStringLiteral("4"));
        if (answer.isEmpty())
            return;
        const std::optional<double> beats = numberOf(answer);
        if (!beats) {
            MsgBox(QStringLiteral("Please enter a numeric value"));
            return;
        }
        const ChartMap map = chartMap();
        if (!map.usable())
            return;
        // From the markers' own positions on the slowed timeline: the pixels they are drawn at
        // are a chart column apart at best.
        const double startMs = selection.startMarker.msPosition();
        const double beatMs = (selection.endMarker.msPosition() - startMs) / *beats;
        const double tppx = forms::twipsPerPixel(*this);
        const double width = tppx * beatMs / map.msPerPixel();
        // A count that gives no beat of a usable width would leave the grid where it cannot be
        // seen or moved back by measures.
        if (!(*beats > 0)
            || !(std::nearbyint(width) >= 1 && std::nearbyint(width) <= beatWidthMax)) {
            MsgBox(QStringLiteral(
                "The selection cannot hold that many beats: please enter a number of beats "
                "greater than 0 that gives each beat at least one twip."));
            return;
        }
        // Back by whole measures until the first line lies left of the chart's edge (plus a
        // twip), so that the selection's start keeps its place in the measure.
        double firstMs = startMs;
        const double first = tppx * map.pixelOf(startMs);
        const double measure = width * wGrid21->BeatsPerMeasure();
        if (measure > 0 && first >= 1)
            firstMs -=
                (std::floor((first - 1) / measure) + 1) * beatMs * wGrid21->BeatsPerMeasure();
        gridStartSamples_ = firstMs * samplesPerMs_;
        gridBeatSamples_ = beatMs * samplesPerMs_;
        placeGrid();
        wGrid21->show();
        gridRefresh();
    });
}

void frmScrollTime::mnuBPM_Click()
{
    TraceScope trace(module, "Sub mnuBPM_Click");
    trace.run([&] {
        const QString answer = InputBox(QStringLiteral("Enter the number of beats per measure:"));
        if (!(startingNumber(answer) > 0))
            return;
        // Only a whole text that rounds to one beat or more: fewer would leave no measure.
        const std::optional<double> number = numberOf(answer);
        const std::optional<int> beats = number ? wholeNumberOf(*number) : std::nullopt;
        if (beats && *beats >= 1 && *beats <= beatWidthMax)
            wGrid21->setBeatsPerMeasure(*beats);
    });
}

std::optional<float> frmScrollTime::getGridTempo()
{
    TraceScope trace(module, "Function getGridTempo");
    return trace.run(std::optional<float>(), [&]() -> std::optional<float> {
        // One beat as the grid keeps it, not two lines each cut to a whole pixel.
        const std::optional<std::int32_t> beatMs = wholeNumberOf(gridWidthMs());
        if (!beatMs || *beatMs < 1) {
            MsgBox(QStringLiteral("The grid's beats are too narrow to give a tempo: widen them or "
                                  "zoom in."));
            return std::nullopt;
        }
        return tempoOfBeat(*beatMs);
    });
}

void frmScrollTime::mnuBPMinute_Click()
{
    TraceScope trace(module, "Sub mnuBPMinute_Click");
    trace.run([&] {
        const std::optional<float> tempo = getGridTempo();
        if (!tempo)
            return;
        MsgBox(tempoMessage(*tempo, originalTempo(*tempo, host_.slowDownPercent())));
    });
}

bool frmScrollTime::highlightBeat(int theBeat)
{
    TraceScope trace(module, "Sub highlightBeat", {{"theBeat", theBeat}});
    return trace.run(false, [&] {
        const int beatsPerMeasure = wGrid21->BeatsPerMeasure();
        int first = 1;
        while (first <= beatsPerMeasure && wGrid21->BeatPosition(first) < 1)
            ++first;
        const int beat = theBeat + first - 1;
        // The grid has no line past its last.
        if (beat + 1 > wGrid2::beatLines)
            return false;
        // The beat's lines as the grid keeps them, so that it starts on its click, not on the
        // column the line is drawn at. Beat 0 is the lead-in from the chart's left edge.
        // A line left of the plot stands before the loop, which the beat then starts with.
        double startMs = 0;
        if (beat >= 1) {
            startMs = std::max(0.0, beatLineMs(beat - 1));
        } else {
            conversionMarker.setPixelPosition(0);
            startMs = conversionMarker.msPosition();
        }
        const double endMs = beatLineMs(beat);
        if (!(endMs > startMs))
            return false;
        selection.startMarker.setMsPosition(startMs);
        selection.endMarker.setMsPosition(endMs);
        return true;
    });
}

void frmScrollTime::gridRefresh()
{
    TraceScope trace(module, "Sub gridRefresh");
    trace.run([&] {
        host_.storeLoopGrid({std::nullopt, std::nullopt, !wGrid21->isHidden()});
        form_paint();
    });
}

void frmScrollTime::mnuGridMaster_Click()
{
    TraceScope trace(module, "Sub mnuGridMaster_Click");
    trace.run([&] {
        mnuRulers[2]->setChecked(wGrid21->HalvesVisible());
        mnuRulers[3]->setChecked(wGrid21->ThirdsVisible());
        mnuShowHide->setChecked(!wGrid21->isHidden());
    });
}

void frmScrollTime::mnuRulers_Click(int Index)
{
    TraceScope trace(module, "Sub mnuRulers_Click", {{"Index", Index}});
    trace.run([&] {
        Preference pref;
        if (Index == 2) {
            wGrid21->setHalvesVisible(!wGrid21->HalvesVisible());
            pref.setPreferenceName(QStringLiteral("Grid HalvesVisible"));
            pref.setValue(wGrid21->HalvesVisible());
            mnuRulers[2]->setChecked(wGrid21->HalvesVisible());
        } else if (Index == 3) {
            wGrid21->setThirdsVisible(!wGrid21->ThirdsVisible());
            pref.setPreferenceName(QStringLiteral("Grid ThirdsVisible"));
            pref.setValue(wGrid21->ThirdsVisible());
            mnuRulers[3]->setChecked(wGrid21->ThirdsVisible());
        }
    });
}

void frmScrollTime::mnuShowHide_Click()
{
    TraceScope trace(module, "Sub mnuShowHide_Click");
    trace.run([&] {
        ignoringErrors([&] {
            if (wGrid21->BeatWidth() <= 0)
                wGrid21->setBeatWidth(wGrid2::defaultBeatWidth);
        });
        ignoringErrors([&] { wGrid21->setVisible(wGrid21->isHidden()); });
        ignoringErrors([&] { mnuShowHide->setChecked(!wGrid21->isHidden()); });
        ignoringErrors([&] { gridRefresh(); });
    });
}

void frmScrollTime::Form_Unload()
{
    TraceScope trace(module, "Sub Form_Unload");
    trace.run([&] {
        windowStyle.reset();
        // The twips the grid would have at the opening layout, where the next load puts them.
        LoopGridFields fields;
        fields.gridVisible = !wGrid21->isHidden();
        if (openingMap_.usable()) {
            const double tppx = forms::twipsPerPixel(*this);
            fields.lastGridStart = wholeNumberOf(tppx * openingMap_.pixelOf(gridStartMs()));
            const std::optional<std::int32_t> width =
                wholeNumberOf(tppx * gridWidthMs() / openingMap_.msPerPixel());
            if (width && *width >= beatWidthMin && *width <= beatWidthMax)
                fields.lastGridWidth = width;
        } else {
            fields.lastGridStart = wGrid21->FirstLine();
            fields.lastGridWidth = wGrid21->BeatWidth();
        }
        host_.storeLoopGrid(fields);
    });
}

} // namespace lentaro
