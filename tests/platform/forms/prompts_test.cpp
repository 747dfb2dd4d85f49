#include "platform/forms/prompts.h"
#include "platform/forms/scriptedprompts.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

namespace lentaro::forms {
namespace {

class PromptsTest : public ::testing::Test
{
protected:
    ScriptedPrompts scripted_;
    ScopedOverride<PromptService> inPlace_{prompts, scripted_};
};

TEST_F(PromptsTest, MessageBoxShowsTextCaptionButtonsAndIconAndGivesTheQueuedAnswer)
{
    scripted_.queueAnswer(Answer::Retry);

    EXPECT_EQ(MsgBox("Disk not ready", Buttons::RetryCancel, Icon::Exclamation, "Recorder"),
              Answer::Retry);

    ASSERT_EQ(scripted_.messageBoxes().size(), 1u);
    const MessageBoxRequest& shown = scripted_.messageBoxes()[0];
    EXPECT_EQ(shown.text, "Disk not ready");
    EXPECT_EQ(shown.caption, "Recorder");
    EXPECT_EQ(shown.buttons, Buttons::RetryCancel);
    EXPECT_EQ(shown.icon, Icon::Exclamation);
    EXPECT_EQ(scripted_.unanswered(), 0);
}

TEST_F(PromptsTest, MessageBoxWithoutTitleCarriesTheApplicationTitle)
{
    MsgBox("Hello");

    ASSERT_EQ(scripted_.messageBoxes().size(), 1u);
    EXPECT_EQ(scripted_.messageBoxes()[0].caption, "Lentaro");
    EXPECT_EQ(scripted_.messageBoxes()[0].buttons, Buttons::OkOnly);
    EXPECT_EQ(scripted_.messageBoxes()[0].icon, Icon::None);
}

TEST_F(PromptsTest, ConfirmIsTrueOnlyForYes)
{
    struct Case {
        Answer answer;
        bool confirmed;
    };
    for (const Case& c : {Case{Answer::Yes, true}, Case{Answer::No, false}}) {
        scripted_.queueAnswer(c.answer);
        EXPECT_EQ(confirm("Delete the loop?"), c.confirmed);
    }
    for (const MessageBoxRequest& shown : scripted_.messageBoxes()) {
        EXPECT_EQ(shown.text, "Delete the loop?");
        EXPECT_EQ(shown.caption, "Lentaro");
        EXPECT_EQ(shown.buttons, Buttons::YesNo);
        EXPECT_EQ(shown.icon, Icon::Question);
    }
}

TEST_F(PromptsTest, AnswersAreTakenInOrderAndAnUnscriptedBoxGetsItsDefaultButton)
{
    scripted_.queueAnswer(Answer::No);
    scripted_.queueAnswer(Answer::Cancel);

    EXPECT_EQ(MsgBox("one", Buttons::YesNoCancel), Answer::No);
    EXPECT_EQ(MsgBox("two", Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(scripted_.pendingAnswers(), 0u);
    EXPECT_EQ(scripted_.unanswered(), 0);

    // Nothing queued: answered as pressing Enter would, and counted.
    EXPECT_EQ(MsgBox("three", Buttons::AbortRetryIgnore), Answer::Abort);
    EXPECT_EQ(prompts().messageBox({"four", "t", Buttons::YesNo, Icon::None, 2}), Answer::No);
    EXPECT_EQ(scripted_.unanswered(), 2);
}

TEST_F(PromptsTest, HelpJoinsAButtonSetAsItsLastButton)
{
    scripted_.queueAnswer(Answer::Help);
    EXPECT_EQ(MsgBox("Press F1 for Help on \"Overflow\"", Buttons::OkOnly | Buttons::Help),
              Answer::Help);
    ASSERT_EQ(scripted_.messageBoxes().size(), 1u);
    EXPECT_EQ(scripted_.messageBoxes()[0].buttons, Buttons::OkOnly | Buttons::Help);

    // Unscripted, the default button counts Help after the set's own buttons.
    const struct {
        Buttons buttons;
        int defaultButton;
        Answer answer;
    } cases[] = {
        {Buttons::OkOnly | Buttons::Help, 1, Answer::Ok},
        {Buttons::OkOnly | Buttons::Help, 2, Answer::Help},
        {Buttons::YesNoCancel | Buttons::Help, 3, Answer::Cancel},
        {Buttons::YesNoCancel | Buttons::Help, 4, Answer::Help},
    };
    for (const auto& c : cases)
        EXPECT_EQ(prompts().messageBox({"?", "t", c.buttons, Icon::None, c.defaultButton}),
                  c.answer)
            << c.defaultButton;
}

TEST_F(PromptsTest, InputBoxGivesTheQueuedTextAndEmptyWhenCancelled)
{
    scripted_.queueInput(QStringLiteral("E"));
    scripted_.queueInput(std::nullopt);

    EXPECT_EQ(InputBox("Enter audio CD drive letter", "", "D"), "E");
    EXPECT_EQ(InputBox("Enter audio CD drive letter", "CD set-up", "D"), "");

    ASSERT_EQ(scripted_.inputBoxes().size(), 2u);
    EXPECT_EQ(scripted_.inputBoxes()[0].prompt, "Enter audio CD drive letter");
    EXPECT_EQ(scripted_.inputBoxes()[0].caption, "Lentaro");
    EXPECT_EQ(scripted_.inputBoxes()[0].defaultText, "D");
    EXPECT_EQ(scripted_.inputBoxes()[1].caption, "CD set-up");

    // Unscripted: the default text, as Enter would give it.
    EXPECT_EQ(InputBox("Name?", "", "x.wav"), "x.wav");
    EXPECT_EQ(scripted_.unanswered(), 1);
}

TEST_F(PromptsTest, FileAndColourDialogsGiveTheQueuedChoiceAndAreCancelledUnscripted)
{
    scripted_.queueFile(QStringLiteral("/music/take1.wav"));
    scripted_.queueColor(QColor(Qt::red));

    FileDialogRequest open;
    open.kind = FileDialogRequest::Kind::Open;
    open.caption = "Open Wave File";
    open.filter = "Wave files (*.wav)";
    EXPECT_EQ(prompts().fileDialog(open), QStringLiteral("/music/take1.wav"));
    EXPECT_EQ(prompts().colorDialog({"Background", QColor(Qt::black)}), QColor(Qt::red));

    EXPECT_EQ(prompts().fileDialog(open), std::nullopt);
    EXPECT_EQ(prompts().colorDialog({"Foreground", QColor(Qt::white)}), std::nullopt);

    ASSERT_EQ(scripted_.fileDialogs().size(), 2u);
    EXPECT_EQ(scripted_.fileDialogs()[0].caption, "Open Wave File");
    EXPECT_EQ(scripted_.fileDialogs()[0].filter, "Wave files (*.wav)");
    ASSERT_EQ(scripted_.colorDialogs().size(), 2u);
    EXPECT_EQ(scripted_.colorDialogs()[1].caption, "Foreground");
    EXPECT_EQ(scripted_.colorDialogs()[1].initial, QColor(Qt::white));
    EXPECT_EQ(scripted_.unanswered(), 2);
}

TEST(PromptServiceOverride, PutsTheEarlierServiceBack)
{
    ScriptedPrompts outer;
    ScriptedPrompts inner;
    ScopedOverride outerInPlace(prompts, outer);
    {
        ScopedOverride innerInPlace(prompts, inner);
        MsgBox("inner");
    }
    MsgBox("outer");

    ASSERT_EQ(inner.messageBoxes().size(), 1u);
    ASSERT_EQ(outer.messageBoxes().size(), 1u);
    EXPECT_EQ(outer.messageBoxes()[0].text, "outer");
}

} // namespace
} // namespace lentaro::forms
