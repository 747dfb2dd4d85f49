#include "app/Preference.h"
#include "controls/wgrid2/wGrid2.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"
#include "waveview/wavechart.h"

#include <QAction>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

constexpr int amplitude = 20480;

class WaveViewPrefsTest : public WaveViewTest
{
protected:
    void SetUp() override
    {
        WaveViewTest::SetUp();
        writeClickTrain(tempWav(), {44100, 1, 2, false}, 1.0, amplitude);
    }

    static QString stored(const char* name)
    {
        Preference pref;
        pref.setPreferenceName(QString::fromLatin1(name));
        return pref.Value().toString();
    }

    void reload(frmScrollTime*& view)
    {
        view->unload();
        deleteUnloaded();
        view = &load();
    }
};

TEST_F(WaveViewPrefsTest, AFreshStoreGetsTheGridColoursAndDrawsTheSelection)
{
    frmScrollTime& view = load();
    EXPECT_TRUE(view.mnuInvert->isChecked());
    EXPECT_EQ(view.chart().backColor(), WaveChart::defaultBackColor);
    EXPECT_EQ(view.chart().lineColor(), WaveChart::defaultLineColor);
    EXPECT_EQ(view.wGrid21->BeatColor(), 0x00FF00u);
    EXPECT_EQ(view.wGrid21->HalfColor(), 0xFF0000u);
    EXPECT_EQ(view.wGrid21->ThirdColor(), 0x0000FFu);
    EXPECT_FALSE(view.wGrid21->HalvesVisible());
    EXPECT_FALSE(view.wGrid21->ThirdsVisible());
    EXPECT_TRUE(view.wGrid21->isHidden());
    EXPECT_EQ(stored("Grid BeatColor"), QStringLiteral("65280"));
    EXPECT_EQ(stored("Grid HalfColor"), QStringLiteral("16711680"));
    EXPECT_EQ(stored("Grid ThirdColor"), QStringLiteral("255"));
    for (const char* untouched :
         {"Graph Invert Selection", "Graph Background Color", "Graph Foreground Color",
          "Grid HalvesVisible", "Grid ThirdsVisible"})
        EXPECT_EQ(stored(untouched), unsetPreference) << untouched;
}

TEST_F(WaveViewPrefsTest, StoredValuesThatAreNoNumberOrTruthCountAsUnsetAndTheRestApply)
{
    storePreferenceText(QStringLiteral("Graph Invert Selection"), "abc");
    storePreferenceText(QStringLiteral("Graph Background Color"), "16777216"); // past &HFFFFFF
    storePreferenceText(QStringLiteral("Graph Foreground Color"), "-1");
    storePreferenceText(QStringLiteral("Grid BeatColor"), "green");
    storePreferenceText(QStringLiteral("Grid HalfColor"), "255");
    storePreferenceText(QStringLiteral("Grid HalvesVisible"), "maybe");
    storePreferenceText(QStringLiteral("Grid ThirdsVisible"), "True");
    frmScrollTime& view = load();
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_TRUE(view.mnuInvert->isChecked());
    EXPECT_EQ(view.chart().backColor(), WaveChart::defaultBackColor);
    EXPECT_EQ(view.chart().lineColor(), WaveChart::defaultLineColor);
    EXPECT_EQ(view.wGrid21->BeatColor(), 0x00FF00u);
    EXPECT_EQ(stored("Grid BeatColor"), QStringLiteral("65280"));
    EXPECT_EQ(view.wGrid21->HalfColor(), 255u);
    EXPECT_FALSE(view.wGrid21->HalvesVisible());
    EXPECT_TRUE(view.wGrid21->ThirdsVisible());
}

TEST_F(WaveViewPrefsTest, ColoursChosenApplyAtOnceAndAtTheNextLoadAndACancelKeepsThem)
{
    frmScrollTime* view = &load();
    prompts_.queueColor(QColor(1, 2, 3));
    view->mnuColors_Click(1);
    EXPECT_EQ(view->wGrid21->BeatColor(), 0x030201u);
    EXPECT_EQ(prompts_.colorDialogs().back().initial, QColor(0, 255, 0));
    prompts_.queueColor(std::nullopt);
    view->mnuColors_Click(3);
    EXPECT_EQ(view->wGrid21->ThirdColor(), 0x0000FFu);
    EXPECT_EQ(stored("Grid ThirdColor"), QStringLiteral("255"));
    prompts_.queueColor(QColor(0x10, 0x20, 0x30));
    view->mnuBackgroundColor_Click();
    EXPECT_EQ(view->chart().backColor(), 0x302010u);
    prompts_.queueColor(QColor(0xFF, 0, 0));
    view->mnuGraphColor_Click();
    EXPECT_EQ(view->chart().lineColor(), 0x0000FFu);
    view->mnuInvert->trigger();
    EXPECT_FALSE(view->mnuInvert->isChecked());
    EXPECT_FALSE(view->selection.inverted());
    EXPECT_EQ(stored("Graph Invert Selection"), QStringLiteral("False"));
    view->mnuRulers_Click(2);
    view->mnuRulers_Click(1);
    EXPECT_TRUE(view->wGrid21->HalvesVisible());
    EXPECT_FALSE(view->mnuRulers[1]->isChecked());

    reload(view);
    EXPECT_EQ(view->wGrid21->BeatColor(), 0x030201u);
    EXPECT_EQ(view->chart().backColor(), 0x302010u);
    EXPECT_EQ(view->chart().lineColor(), 0x0000FFu);
    EXPECT_FALSE(view->mnuInvert->isChecked());
    EXPECT_TRUE(view->wGrid21->HalvesVisible());
    EXPECT_FALSE(view->wGrid21->ThirdsVisible());
}

TEST_F(WaveViewPrefsTest, TheLoopRowShowsAndPlacesTheGrid)
{
    struct Case {
        const char* name;
        LoopGridFields row;
        bool shown;
        std::int32_t firstLine;
        int beatWidth;
        std::optional<bool> storedVisible;
    };
    for (const Case& c : {
             Case{"shown", {-300, 900, true}, true, -300, 900, true},
             Case{"hidden", {-300, 900, false}, false, -300, 900, false},
             Case{"Null visibility", {-300, 900, std::nullopt}, false, -300, 900, false},
             Case{"Null start", {std::nullopt, 900, false}, false, 0, 900, false},
             // A new row's width 0 hides nothing: Show Grid makes it 360.
             Case{"new row shown", {0, 0, true}, true, 0, 360, true},
         }) {
        SCOPED_TRACE(c.name);
        host_.row = c.row;
        frmScrollTime& view = load();
        EXPECT_EQ(!view.wGrid21->isHidden(), c.shown);
        EXPECT_EQ(view.wGrid21->FirstLine(), c.firstLine);
        EXPECT_EQ(view.wGrid21->BeatWidth(), c.beatWidth);
        EXPECT_EQ(host_.row->gridVisible, c.storedVisible);
        view.unload();
        deleteUnloaded();
    }
}

} // namespace

} // namespace lentaro::test
