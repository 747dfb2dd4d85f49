#include "program/programsides.h"

#include "app/programstate.h"
#include "cd/cdloopcapture.h"
#include "loops/loopCapture.h"
#include "mainwindow/frmMain.h"
#include "platform/cd/DigitalReader.h"
#include "program/cdsideofmain.h"
#include "program/loopcapturebyview.h"
#include "tests/mainwindow/main_window_fixture.h"
#include "tests/support/named_control.h"
#include "trace/runtimeerror.h"

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
    control<QTimer>(main, "tmrAfterFormLoad")->stop();
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

TEST_F(LoopCaptureByViewTest, AFailedCutShowsAsRecordCurrentLoopsOwnError)
{
    struct FailingCut : LoopCapture {
        void recordCurrentLoop() override
        {
            throw RuntimeError(75, QStringLiteral("The loop could not be cut out of song.wav."));
        }
    } cut;
    frmMain& main = load();
    control<QTimer>(main, "tmrAfterFormLoad")->stop();
    cd::DigitalReader reader;
    CdHostOfMain host(main);
    CdLoopsOfMain loops(main, nullptr);
    CdLoopCapture cdCapture(main.cdControls(), host, loops, reader);
    LoopCaptureByView capture(main.state(), cut, cdCapture);
    main.state().cdView = false;

    capture.recordCurrentLoop();

    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    const QString text = prompts_.messageBoxes()[0].text;
    EXPECT_TRUE(text.startsWith("Error 75 occurred in procedure recordCurrentLoop"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("The loop could not be cut out of song.wav.")) << text.toStdString();
}

} // namespace
} // namespace lentaro::test
