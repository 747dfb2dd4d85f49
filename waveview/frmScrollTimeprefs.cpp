// The view's look from one run to the next: the selection box switch, the chart's and the grid's
// colours, the grid's subdivisions, and the loop row's grid.

#include "waveview/frmScrollTime.h"

#include "app/Preference.h"
#include "app/preferencetext.h"
#include "controls/wgrid2/wGrid2.h"
#include "mainwindow/ignoringerrors.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screenunits.h"
#include "trace/tracescope.h"
#include "waveview/wavechart.h"
#include "waveview/waveviewhost.h"

#include <QAction>

#include <cmath>

namespace lentaro {

namespace {

constexpr char module[] = "scrollFastest";
constexpr std::uint32_t highestColor = 0xFFFFFF;
// RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0).
constexpr std::uint32_t green = 0x00FF00;
constexpr std::uint32_t blue = 0xFF0000;
constexpr std::uint32_t red = 0x0000FF;

// A stored text that is no truth value, or no colour, counts as unset.
std::optional<bool> storedBoolean(Preference& pref, const char* name)
{
    pref.setPreferenceName(QString::fromLatin1(name));
    const QString text = pref.Value().toString();
    if (text == unsetPreference)
        return std::nullopt;
    return booleanOf(text);
}

std::optional<std::uint32_t> storedColor(Preference& pref, const char* name)
{
    pref.setPreferenceName(QString::fromLatin1(name));
    const QString text = pref.Value().toString();
    if (text == unsetPreference)
        return std::nullopt;
    const std::optional<double> number = numberOf(text);
    if (!number)
        return std::nullopt;
    const double color = std::nearbyint(*number);
    if (!(color >= 0 && color <= highestColor))
        return std::nullopt;
    return std::uint32_t(color);
}

// The grid's colour: the stored one, or the default written first.
std::uint32_t gridColor(Preference& pref, const char* name, std::uint32_t fallback)
{
    if (const std::optional<std::uint32_t> stored = storedColor(pref, name))
        return *stored;
    pref.setValue(qint64(fallback));
    return fallback;
}

} // namespace

void frmScrollTime::loadFormPrefs()
{
    TraceScope trace(module, "Sub loadFormPrefs");
    trace.run([&] {
        Preference pref;
        mnuInvert->setChecked(storedBoolean(pref, "Graph Invert Selection").value_or(true));
        if (const auto color = storedColor(pref, "Graph Background Color"))
            Chart->setBackColor(*color);
        if (const auto color = storedColor(pref, "Graph Foreground Color"))
            Chart->setLineColor(*color);
        wGrid21->setBeatColor(gridColor(pref, "Grid BeatColor", green));
        wGrid21->setHalfColor(gridColor(pref, "Grid HalfColor", blue));
        wGrid21->setThirdColor(gridColor(pref, "Grid ThirdColor", red));
        if (const auto visible = storedBoolean(pref, "Grid HalvesVisible"))
            wGrid21->setHalvesVisible(*visible);
        if (const auto visible = storedBoolean(pref, "Grid ThirdsVisible"))
            wGrid21->setThirdsVisible(*visible);

        // The grid's twips are kept at this, the opening layout, and its record starts here.
        openingMap_ = chartMap();
        wGrid21_firstLineChanged();
        wGrid21_beatWidthChanged();
        const std::optional<LoopGridFields> row = host_.loopGrid();
        if (!row)
            return;
        if (row->lastGridStart)
            wGrid21->setFirstLine(*row->lastGridStart);
        if (row->lastGridWidth)
            ignoringErrors([&] { wGrid21->setBeatWidth(*row->lastGridWidth); });
        if (!row->gridVisible)
            host_.storeLoopGrid({std::nullopt, std::nullopt, false});
        else if (*row->gridVisible)
            mnuShowHide_Click();
    });
}

std::uint32_t frmScrollTime::changeColorProperty(const QString& prefName,
                                                 std::uint32_t currentColor)
{
    TraceScope trace(module, "Function changeColorProperty", {{"prefName", prefName}});
    return trace.run(currentColor, [&] {
        // A cancelled dialog keeps the colour it opened with.
        const std::optional<QColor> chosen =
            forms::prompts().colorDialog({QString(), forms::colorOf(currentColor), this});
        const std::uint32_t color = chosen ? forms::windowsColorOf(*chosen) : currentColor;
        Preference mPref;
        mPref.setPreferenceName(prefName);
        mPref.setValue(qint64(color));
        return color;
    });
}

void frmScrollTime::mnuBackgroundColor_Click()
{
    TraceScope trace(module, "Sub mnuBackgroundColor_Click");
    trace.run([&] {
        Chart->setBackColor(
            changeColorProperty(QStringLiteral("Graph Background Color"), Chart->backColor()));
    });
}

void frmScrollTime::mnuGraphColor_Click()
{
    TraceScope trace(module, "Sub mnuGraphColor_Click");
    trace.run([&] {
        Chart->setLineColor(
            changeColorProperty(QStringLiteral("Graph Foreground Color"), Chart->lineColor()));
    });
}

void frmScrollTime::mnuColors_Click(int Index)
{
    TraceScope trace(module, "Sub mnuColors_Click", {{"Index", Index}});
    trace.run([&] {
        switch (Index) {
        case 1:
            wGrid21->setBeatColor(
                changeColorProperty(QStringLiteral("Grid BeatColor"), wGrid21->BeatColor()));
            break;
        case 2:
            wGrid21->setHalfColor(
                changeColorProperty(QStringLiteral("Grid HalfColor"), wGrid21->HalfColor()));
            break;
        case 3:
            wGrid21->setThirdColor(
                changeColorProperty(QStringLiteral("Grid ThirdColor"), wGrid21->ThirdColor()));
            break;
        default:
            break;
        }
    });
}

void frmScrollTime::mnuInvert_Click()
{
    TraceScope trace(module, "Sub mnuInvert_Click");
    // The item has turned its check mark over, and the chart shows it; the choice is kept.
    trace.run([&] {
        Preference pref;
        pref.setPreferenceName(QStringLiteral("Graph Invert Selection"));
        pref.setValue(mnuInvert->isChecked());
    });
}

} // namespace lentaro
