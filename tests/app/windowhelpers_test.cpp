#include "tests/app/window_fixture.h"

#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "platform/forms/form.h"

#include <QScreen>

namespace lentaro::test {
namespace {

class WindowHelpers : public WindowTest
{};

TEST_F(WindowHelpers, CentredPositionSharesTheRoomLeftOverTruncatingTowardZero)
{
    struct Case {
        QRect screen;
        QSize window;
        QPoint position;
    };
    const Case cases[] = {
        {{0, 0, 800, 600}, {200, 100}, {300, 250}},
        {{0, 0, 801, 601}, {200, 100}, {300, 250}},
        {{0, 0, 1024, 768}, {1024, 768}, {0, 0}},
        // Larger than the screen: overlaps both edges alike.
        {{0, 0, 800, 600}, {1001, 701}, {-100, -50}},
        // A screen that does not start at the origin.
        {{1920, 0, 1280, 1024}, {280, 24}, {2420, 500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screen.width() << "x" << c.screen.height());
        EXPECT_EQ(centeredPosition(c.screen, c.window), c.position);
    }
}

TEST_F(WindowHelpers, CenterformMovesTheWindowToTheMiddleOfItsScreenKeepingItsSize)
{
    QWidget f;
    f.setObjectName("frmTrim");
    f.setGeometry(3, 7, 300, 201);
    const QRect screen = f.screen()->geometry();

    centerform(&f);

    EXPECT_EQ(f.frameGeometry().topLeft(), QPoint(screen.x() + (screen.width() - 300) / 2,
                                                  screen.y() + (screen.height() - 201) / 2));
    EXPECT_EQ(f.size(), QSize(300, 201));
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(WindowHelpers, CenterformWithoutAWindowIsAnErrorForTheHandler)
{
    centerform(nullptr);
    EXPECT_EQ(trappedError(), 91);
}

TEST_F(WindowHelpers, IsLoadedComparesNamesExactly)
{
    EXPECT_FALSE(isLoaded("frmMain"));
    const forms::Form main(QStringLiteral("frmMain"));

    EXPECT_TRUE(isLoaded("frmMain"));
    EXPECT_FALSE(isLoaded("frmmain"));
    EXPECT_FALSE(isLoaded("frmMain "));
}

TEST_F(WindowHelpers, TrackInformationIsNeverShownInTheSlowPlayView)
{
    struct Case {
        bool slowMode;
        bool arf;
        bool before;
        bool after;
    };
    const Case cases[] = {
        {false, false, true, false},
        {false, true, false, true},
        {true, false, true, false},
        {true, true, false, false}, // nothing changes
    };
    using TrackInfo = MainWindowFace::TrackInfo;
    const std::vector<TrackInfo> controls = {TrackInfo::lblTracks, TrackInfo::lblTrackComments,
                                             TrackInfo::Comments, TrackInfo::tgTracks};
    RecordingMainWindow& main = mainWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "slow " << c.slowMode << " arf " << c.arf);
        for (const TrackInfo control : controls)
            main.trackInfoVisible[control] = c.before;
        main.trackInfoSettings.clear();
        programState().gvSlowMode = c.slowMode;

        showHideTrackInfo(c.arf);

        for (const TrackInfo control : controls)
            EXPECT_EQ(main.trackInfoVisible[control], c.after) << int(control);
        // Each control once, in the order lblTracks, lblTrackComments, Comments, tgTracks; none
        // when nothing changes.
        EXPECT_EQ(main.trackInfoSettings,
                  c.before == c.after ? std::vector<TrackInfo>() : controls);
    }
}

TEST_F(WindowHelpers, TrackInformationWithoutAMainWindowDoesNothing)
{
    showHideTrackInfo(true);
    EXPECT_EQ(trappedError(), 0);
}

} // namespace
} // namespace lentaro::test
