#include "program/waveviewtrimgraph.h"

#include "app/programstate.h"
#include "platform/forms/formregistry.h"
#include "program/waveviewsideofmain.h"
#include "tests/mainwindow/main_window_fixture.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

class WaveViewTrimGraphTest : public MainWindowTest
{
protected:
    MainWindowSides makeSides(frmMain& main) override
    {
        MainWindowSides sides = MainWindowTest::makeSides(main);
        sides.waveView = makeWaveViewSide(main);
        return sides;
    }
};

// The trim adjustments move the view's own selection markers, and a time a marker cannot take
// stops them with the marker left where it was.
TEST_F(WaveViewTrimGraphTest, TheAdjustmentsMoveTheViewsSelectionMarkers)
{
    frmMain& main = started();
    programState().gvGraphStep = 20;
    WaveViewTrimGraph graph;
    EXPECT_FALSE(graph.isOpen());

    writeClickTrain(path(QStringLiteral("temp.wav")), {44100, 1, 2, false}, 1.0, 20480);
    main.state().setSlowDownPercent(100);
    main.cmdGraphic_Click();
    ASSERT_TRUE(graph.isOpen());
    frmScrollTime& view = *forms::loadedFormOf<frmScrollTime>();

    const double step = 20 / 44.1; // one chart point, in ms
    graph.setStartMarkerMs(250);
    graph.setEndMarkerMs(750);
    EXPECT_NEAR(view.selection.startMarker.msPosition(), 250, step);
    EXPECT_NEAR(view.selection.endMarker.msPosition(), 750, step);
    EXPECT_EQ(graph.startMarkerMs(), view.selection.startMarker.msPosition());
    EXPECT_EQ(graph.endMarkerMs(), view.selection.endMarker.msPosition());

    const std::int32_t before = view.selection.endMarker.samplePosition();
    EXPECT_ANY_THROW(graph.setEndMarkerMs(1e12));
    EXPECT_EQ(view.selection.endMarker.samplePosition(), before);

    main.waveView().close();
    deleteUnloaded();
    EXPECT_FALSE(graph.isOpen());
}

} // namespace

} // namespace lentaro::test
