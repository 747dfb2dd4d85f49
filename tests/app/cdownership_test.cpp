#include "tests/app/app_fixture.h"

#include "app/cdownership.h"
#include "platform/forms/applicationtitle.h"

#include <optional>

namespace lentaro::test {
namespace {

class AnsweringOwnership : public CdOwnershipQuery
{
public:
    explicit AnsweringOwnership(std::optional<bool> answer) : answer_(answer) {}
    std::optional<bool> heldElsewhere() override { return answer_; }

private:
    std::optional<bool> answer_;
};

class CdOwnership : public AppTest
{};

TEST_F(CdOwnership, OnlyADriveHeldByAnotherProgramShowsTheBox)
{
    struct Case {
        const char* what;
        std::optional<bool> answer;
        QStringList boxes;
    };
    const Case cases[] = {
        {"held elsewhere",
         true,
         {"Another application has hold of the CD driver. Close that application if you wish "
          "this one to gain control."}},
        {"free", false, {}},
        {"no drive or no answer", std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        forms::ScriptedPrompts prompts;
        const ScopedOverride promptsInPlace(forms::prompts, prompts);
        AnsweringOwnership ownership(c.answer);
        const ScopedOverride ownershipInPlace(cdOwnershipQuery, ownership);

        checkForCDOwnership();

        QStringList shown;
        for (const forms::MessageBoxRequest& box : prompts.messageBoxes()) {
            shown << box.text;
            EXPECT_EQ(box.buttons, forms::Buttons::OkOnly);
            EXPECT_EQ(box.caption, forms::applicationTitle());
        }
        EXPECT_EQ(shown, c.boxes);
    }
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(CdOwnership, WithoutACdLayerNothingIsShown)
{
    checkForCDOwnership();
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_EQ(trappedError(), 0);
}

} // namespace
} // namespace lentaro::test
