#include "tests/app/window_fixture.h"

#include "app/messageForm.h"
#include "app/messages.h"
#include "app/messages2.h"
#include "app/programstate.h"
#include "app/waveformviewface.h"
#include "app/windowhelpers.h"
#include "platform/forms/formregistry.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <cstdlib>

namespace lentaro::test {
namespace {

const QString cancelDigitalReadQuestion = QStringLiteral(
    "Due to the non-standard nature of computer-to-CD-ROM digital audio interfaces, after "
    "cancelling this operation, your computer may have to be restarted before digital recording "
    "will work again.\n\nClick Yes to end the operation now; click No to continue waiting for "
    "the operation to complete.");

class StatusWindow : public WindowTest
{};

TEST_F(StatusWindow, ShowsOnlyTheLastTextAndCaptionInATopmostCentredBox)
{
    Message("Saving loops...", "Saving");
    Message("Loading Main Form");

    auto* window = forms::loadedFormOf<messageForm>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Make Loop Points");
    EXPECT_EQ(window->Label1->text(), "Loading Main Form");
    EXPECT_EQ(window->Label1->font().family(), "Arial");
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // Centred when loaded, before the window manager's frame was known.
    const int frameMargins = window->frameGeometry().width() - window->width();
    EXPECT_LE(
        std::abs(window->frameGeometry().center().x() - window->screen()->geometry().center().x()),
        frameMargins);
    EXPECT_LE(
        std::abs(window->frameGeometry().center().y() - window->screen()->geometry().center().y()),
        frameMargins);
    EXPECT_EQ(forms::loadedForms().size(), 1u);
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(StatusWindow, OffUnloadsItAndOnlyTheExactWordOffDoesSo)
{
    Message("Off");
    ASSERT_NE(forms::loadedFormOf<messageForm>(), nullptr);
    EXPECT_EQ(forms::loadedFormOf<messageForm>()->Label1->text(), "Off");

    Message("off");
    EXPECT_FALSE(isLoaded("messageForm"));

    // Not loaded: "off" loads nothing.
    Message("off");
    EXPECT_TRUE(forms::loadedForms().empty());
}

TEST_F(StatusWindow, DisablesNothing)
{
    RecordingMainWindow& main = mainWindow();
    Message("Recording");
    EXPECT_TRUE(main.enabled);
}

class ProgressWindow : public WindowTest
{};

TEST_F(ProgressWindow, ShowsTheTextAndAUsableCancelWhileTheMainWindowIsDisabled)
{
    RecordingMainWindow& main = mainWindow();

    Message2("Changing loop speed and/or pitch.", "KV");

    auto* window = forms::loadedFormOf<messages2>();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(main.enabled);
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->btnCancel->isEnabled());
    EXPECT_TRUE(window->btnCancel->isVisible());
    EXPECT_EQ(window->btnCancel->text(), "Cancel");
    EXPECT_FALSE(window->lblNoInterrupt->isVisible());
    EXPECT_EQ(window->windowTitle(), "Message from Lentaro");
    EXPECT_EQ(window->Label1->text(), "Changing loop speed and/or pitch.");
    EXPECT_EQ(window->source, "KV");
}

TEST_F(ProgressWindow, EachCallReplacesTextAndSourceTag)
{
    Message2("Recording loop digitally", "ACD");
    Message2("Recording loop", "Analog Recording");
    Message2("Off");

    auto* window = forms::loadedFormOf<messages2>();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Label1->text(), "Off");
    EXPECT_EQ(window->source, "");
}

TEST_F(ProgressWindow, CancelEndsWhatTheSourceTagNames)
{
    struct Case {
        const char* source;
        std::optional<forms::Answer> answer; // to the question Cancel asks first
        int enginePassStops;
        int digitalReadStops;
        bool windowStays;
    };
    const Case cases[] = {
        {"KV", std::nullopt, 1, 0, false},        {"ACD", forms::Answer::No, 0, 0, true},
        {"ACD", forms::Answer::Yes, 0, 1, false}, {"Analog Recording", std::nullopt, 0, 0, false},
        {"", std::nullopt, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source << " " << c.answer.has_value());
        cancelTargets_ = RecordingCancelTargets();
        prompts_ = forms::ScriptedPrompts();
        if (c.answer)
            prompts_.queueAnswer(*c.answer);
        programState().gvSlowMode = true;
        RecordingMainWindow& main = mainWindow();
        Message2("Working", c.source);

        forms::loadedFormOf<messages2>()->btnCancel->click();

        EXPECT_EQ(cancelTargets_.enginePassStops, c.enginePassStops);
        EXPECT_EQ(cancelTargets_.digitalReadStops, c.digitalReadStops);
        EXPECT_EQ(progressWindowShown(), c.windowStays);
        EXPECT_EQ(main.enabled, !c.windowStays);
        EXPECT_EQ(prompts_.messageBoxes().size(), c.answer ? 1u : 0u);
        EXPECT_EQ(prompts_.unanswered(), 0);
        const bool toCDView = c.answer == forms::Answer::Yes;
        EXPECT_EQ(cancelTargets_.cdViewChanges, toCDView ? 1 : 0);
        EXPECT_EQ(programState().gvSlowMode, !toCDView);
        Message2("off");
    }
}

TEST_F(ProgressWindow, CancellingADigitalReadAsksFirst)
{
    mainWindow();
    prompts_.queueAnswer(forms::Answer::No);
    Message2("Recording loop digitally", "ACD");

    forms::loadedFormOf<messages2>()->btnCancel->click();

    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    const forms::MessageBoxRequest& question = prompts_.messageBoxes()[0];
    EXPECT_EQ(question.text, cancelDigitalReadQuestion);
    EXPECT_EQ(question.caption, "Lentaro");
    EXPECT_EQ(question.buttons, forms::Buttons::YesNo);
    EXPECT_EQ(question.icon, forms::Icon::Question);
}

TEST_F(ProgressWindow, EveryWayOutEnablesTheMainWindow)
{
    struct Case {
        const char* how;
        std::function<void(messages2&)> leave;
    };
    const Case cases[] = {
        {"off", [](messages2&) { Message2("off"); }},
        {"title bar", [](messages2& w) { w.close(); }},
        {"unload", [](messages2& w) { w.unload(); }},
        {"Cancel", [](messages2& w) { w.btnCancel->click(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        RecordingMainWindow& main = mainWindow();
        Message2("Recording loop", "Analog Recording");
        ASSERT_FALSE(main.enabled);

        c.leave(*forms::loadedFormOf<messages2>());

        EXPECT_TRUE(main.enabled);
        EXPECT_FALSE(progressWindowShown());
        deleteUnloaded();
    }
}

TEST_F(ProgressWindow, OffWhenNeverShownStillEnablesTheMainWindow)
{
    RecordingMainWindow& main = mainWindow();
    main.enabled = false;

    Message2("off");

    EXPECT_TRUE(main.enabled);
    EXPECT_TRUE(forms::loadedForms().empty());
}

TEST_F(ProgressWindow, ClosingItBringsTheWaveformViewBack)
{
    // An open waveform view, for now behind the progress window.
    class WaveformView : public WaveformViewFace
    {
    public:
        void bringBack() override { visible = true; }
        bool visible = false;
    } waveform;
    const ScopedOverride waveformInPlace(waveformViewFace, waveform);
    Message2("Changing loop speed and/or pitch.", "KV");
    ASSERT_FALSE(waveform.visible);

    Message2("off");

    EXPECT_TRUE(waveform.visible);
}

TEST_F(ProgressWindow, WorksWithoutAMainWindow)
{
    Message2("Changing loop speed and/or pitch.", "KV");
    forms::loadedFormOf<messages2>()->btnCancel->click();

    EXPECT_EQ(cancelTargets_.enginePassStops, 1);
    EXPECT_FALSE(progressWindowShown());
    EXPECT_EQ(trappedError(), 0);
}

// Before the main window puts its own cancel targets in place.
class ProgressWindowAlone : public AppTest
{
protected:
    void TearDown() override
    {
        // The unloaded window goes before the next test looks for loaded ones.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AppTest::TearDown();
    }
};

TEST_F(ProgressWindowAlone, CancelStopsTheEnginePassThroughTheEngineRunner)
{
    class CountingRunner : public IdleEngineRunner
    {
    public:
        std::int32_t stop() override { return ++stops; }
        std::int32_t cleanUp() override { return 0; }
        int stops = 0;
    } runner;
    const ScopedOverride runnerInPlace(engineRunner, runner);
    Message2("Changing loop speed and/or pitch.", "KV");

    forms::loadedFormOf<messages2>()->btnCancel->click();

    EXPECT_EQ(runner.stops, 1);
    EXPECT_FALSE(progressWindowShown());
}

} // namespace
} // namespace lentaro::test
