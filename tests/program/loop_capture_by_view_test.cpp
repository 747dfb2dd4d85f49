#include "program/programsides.h"

#include "app/programstate.h"
#include "loops/loopCapture.h"
#include "mainwindow/frmMain.h"
#include "tests/mainwindow/main_window_fixture.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

class LoopCaptureByViewTest : public MainWindowTest
{
protected:
    MainWindowSides makeSides(frmMain& main) override { return programSides(main); }
};

// Transform's capture in the program as composed: a loop of the CD goes to the CD side (here
// without digital reading), a loop of a wave file to the loop side's cut (here without loops);
// each first says why it captured nothing.
TEST_F(LoopCaptureByViewTest, ALoopOfTheCdGoesToTheCdSideAndOneOfAWaveFileToTheCut)
{
    struct Case {
        bool cdView;
        const char* says;
    };
    const Case cases[] = {
        {true, "Sorry - digital recording is not available on this system."},
        {false, "There are no loop points created."},
    };
    frmMain& main = load();
    // Start-up would end in a modal hint.
    main.tmrAfterFormLoad->stop();
    programState().gvRecordMode = 1;
    programState().gvDigitalRecordingOK = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cdView);
        main.state().cdView = c.cdView;
        const std::size_t shown = prompts_.messageBoxes().size();

        loopCapture().recordCurrentLoop();

        ASSERT_GT(prompts_.messageBoxes().size(), shown);
        EXPECT_TRUE(prompts_.messageBoxes()[shown].text.startsWith(c.says))
            << prompts_.messageBoxes()[shown].text.toStdString();
    }
}

} // namespace
} // namespace lentaro::test
