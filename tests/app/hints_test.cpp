#include "tests/app/window_fixture.h"

#include "app/frmHint.h"
#include "app/hints.h"
#include "app/hinttexts.h"
#include "app/windowhelpers.h"
#include "platform/forms/formregistry.h"
#include "platform/forms/screencursor.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace lentaro::test {
namespace {

class Hints : public WindowTest
{
protected:
    // The stored text of a hint's preference; "(missing)" when there is none.
    std::string stored(const QString& hintID) const
    {
        const auto value = storedPreference(hintID);
        return value ? value->bytes() : std::string("(missing)");
    }
};

frmHint& hintWindow(QWidget& modal)
{
    auto* hint = dynamic_cast<frmHint*>(&modal);
    EXPECT_NE(hint, nullptr);
    return *hint;
}

TEST_F(Hints, WhetherAHintIsShownAndWhatItAnswers)
{
    struct Case {
        const char* stored; // nullptr: unset
        bool forceIt;
        bool shown;
        bool checkedWhenShown;
    };
    const Case cases[] = {
        {nullptr, false, true, false},  {"N/A", false, true, false},    {"1", false, true, false},
        {"True", false, true, false},   {"-1", false, true, false},     {"0", false, false, false},
        {"False", false, false, false}, {"false", false, false, false}, {"0", true, true, true},
        {"False", true, true, true},    {nullptr, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.stored ? c.stored : "unset") << " force " << c.forceIt);
        const QString id = QStringLiteral("hint%1").arg(&c - cases);
        if (c.stored)
            storePreferenceText(id, c.stored);
        bool checked = false;
        WhenModal answer([&](QWidget& modal) {
            frmHint& hint = hintWindow(modal);
            checked = hint.chkDontShow->isChecked();
            hint.cmdCancel->click();
        });

        const bool result = ShowHint(id, c.forceIt);

        EXPECT_EQ(answer.acted(), c.shown);
        // A hint not shown counts as Continue; a shown one was cancelled here.
        EXPECT_EQ(result, !c.shown);
        EXPECT_EQ(checked, c.checkedWhenShown);
        EXPECT_EQ(stored(id), c.stored ? std::string(c.stored) : "(missing)");
        EXPECT_FALSE(isLoaded("frmHint"));
    }
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(Hints, ContinueAnswersTrueAndShowsTheHintsText)
{
    QString shownText;
    WhenModal answer([&](QWidget& modal) {
        frmHint& hint = hintWindow(modal);
        shownText = hint.lblTipText->text();
        EXPECT_EQ(hint.windowTitle(), "Lentaro Hint");
        EXPECT_EQ(hint.Label1->text(), "Hint!");
        EXPECT_EQ(hint.chkDontShow->text(), "Don't show this again");
        EXPECT_EQ(hint.cmdOK->text(), "Continue");
        EXPECT_EQ(hint.cmdCancel->text(), "Cancel");
        hint.cmdOK->click();
    });

    EXPECT_TRUE(ShowHint("recordingMixerTakesAWhile"));
    EXPECT_EQ(shownText, *hintText("recordingMixerTakesAWhile"));
}

TEST_F(Hints, AnUnknownHintShowsTheSetupNote)
{
    QString shownText;
    WhenModal answer([&](QWidget& modal) {
        shownText = hintWindow(modal).lblTipText->text();
        hintWindow(modal).cmdOK->click();
    });

    ShowHint("noSuchHint");

    EXPECT_TRUE(shownText.startsWith(
        "There's one setup point to handle. In order for the SlowPlay feature to work, you must "
        "enable recording from the CD-ROM drive in your computer's mixer."));
}

TEST_F(Hints, ClosedFromTheTitleBarAnswersFalseWhateverTheLastAnswerWas)
{
    WhenModal first([](QWidget& modal) { hintWindow(modal).cmdOK->click(); });
    ASSERT_TRUE(ShowHint("warnSlowdown"));

    WhenModal second([](QWidget& modal) { modal.close(); });
    EXPECT_FALSE(ShowHint("warnSlowdown"));
    EXPECT_TRUE(second.acted());
}

TEST_F(Hints, DontShowAgainIsStoredAtOnce)
{
    struct Case {
        const char* name;
        const char* before; // nullptr: unset
        bool forceIt;
        std::vector<bool> clicks; // the box's state after each click
        std::vector<std::string> storedAfterEachClick;
    };
    const Case cases[] = {
        {"check", nullptr, false, {true}, {"0"}},
        {"check and uncheck", nullptr, false, {true, false}, {"0", "1"}},
        {"uncheck a forced hint", "0", true, {false}, {"1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString id = QString::fromLatin1(c.name).remove(' ');
        if (c.before)
            storePreferenceText(id, c.before);
        std::vector<std::string> seen;
        WhenModal answer([&](QWidget& modal) {
            frmHint& hint = hintWindow(modal);
            for (bool state : c.clicks) {
                hint.chkDontShow->click();
                EXPECT_EQ(hint.chkDontShow->isChecked(), state);
                seen.push_back(stored(id)); // while the window is still up
            }
            hint.cmdOK->click();
        });

        ShowHint(id, c.forceIt);

        EXPECT_EQ(seen, c.storedAfterEachClick);
    }
}

TEST_F(Hints, TheScreenPointerIsTheArrowWhileTheHintIsUpAndRestoredAfter)
{
    forms::setScreenMousePointer(Qt::WaitCursor);
    Qt::CursorShape during = Qt::WaitCursor;
    WhenModal answer([&](QWidget& modal) {
        during = forms::screenMousePointer();
        hintWindow(modal).cmdOK->click();
    });

    ShowHint("warnGraphic");

    EXPECT_EQ(during, Qt::ArrowCursor);
    EXPECT_EQ(forms::screenMousePointer(), Qt::WaitCursor);
}

TEST_F(Hints, EveryHintHasItsText)
{
    for (const char* id :
         {"importantNote", "youMightTryDigital", "recordingMixerTakesAWhile", "warnGraphic",
          "warnSlowdown", "warnRecordDigital", "warnTutorialExists"}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(hintText(id).has_value());
    }
    EXPECT_FALSE(hintText("importantnote").has_value());

    EXPECT_EQ(*hintText("warnTutorialExists"),
              "Here's the simplest GETTING STARTED manual for Lentaro: \n"
              "1. Put in a CD.\n"
              "2. Press the \"Start New Loop\" button to begin a loop at the start of Track 1.\n"
              "3. After a few seconds, click on the \"Complete Current Loop And Close Window\" "
              "button to complete the loop.\n"
              "4. Hit the Transform button to hear the loop slowed down.\n\n"
              "There's lots more to Lentaro  - the easiest and fastest way to master Lentaro is "
              "to go through the Tutorial in the User Manual, available under the Help menu.");
    // Joined pieces meet without a blank added or lost.
    EXPECT_TRUE(hintText("importantNote")->contains("is not fast enough to handle"));
    EXPECT_TRUE(
        hintText("importantNote")->contains("quality adequate for your purposes.\n\nIF YOU"));
    EXPECT_TRUE(hintText("warnSlowdown")->endsWith("nothing will be damaged."));
}

} // namespace
} // namespace lentaro::test
