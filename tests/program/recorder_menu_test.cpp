#include "tests/program/cd_side_window_fixture.h"

#include "app/windowhelpers.h"
#include "cd/recordForm.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QScreen>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

// The main window on the program's CD side.
class RecorderMenuTest : public CdSideWindowTest
{
protected:
    void SetUp() override
    {
        CdSideWindowTest::SetUp();
        withCdSide_ = true;
        useDiscs({});
        main().state().setCurrentMMControl(control<mci::MMControl>(main(), "CDControl"));
    }
};

TEST_F(RecorderMenuTest, ShowsTheRecorderModally)
{
    QString caption;
    WhenModal user([&](QWidget& modal) {
        caption = modal.windowTitle();
        static_cast<recordForm&>(modal).unload();
    });

    control<QAction>(main(), "mnuRecord")->trigger();

    EXPECT_TRUE(user.acted());
    EXPECT_EQ(caption, "Record Wave File");
    EXPECT_FALSE(isLoaded("recordForm"));
}

TEST_F(RecorderMenuTest, TheRecorderAndTheMp3WindowOpenOnTheMiddleOfTheMainWindow)
{
    struct Case {
        const char* window;
        QAction* item;
    };
    // The main window away from the middle of the screen.
    main().show();
    main().move(main().screen()->geometry().center());
    const QPoint middle = main().frameGeometry().center();
    for (const Case& c : {Case{"recorder", control<QAction>(main(), "mnuRecord")},
                          Case{"MP3", control<QAction>(main(), "mnuConvertMP3")}}) {
        SCOPED_TRACE(c.window);
        QRect opened;
        WhenModal user([&](QWidget& modal) {
            opened = modal.frameGeometry();
            static_cast<forms::Form&>(modal).unload();
        });

        c.item->trigger();

        ASSERT_TRUE(user.acted());
        EXPECT_LE((opened.center() - middle).manhattanLength(), 2)
            << opened.center().x() << "," << opened.center().y() << " against " << middle.x() << ","
            << middle.y();
        deleteUnloaded();
    }
}

} // namespace
} // namespace lentaro::test
