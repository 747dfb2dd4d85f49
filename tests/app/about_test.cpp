#include "tests/app/url_recorder.h"
#include "tests/app/window_fixture.h"

#include "app/frmAbout.h"
#include "app/windowhelpers.h"
#include "platform/forms/formregistry.h"
#include "platform/shell/urlopener.h"

#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace lentaro::test {
namespace {

class AboutWindow : public WindowTest
{};

TEST_F(AboutWindow, ShowsTheBuildsVersionUnderTheApplicationsTitle)
{
    auto& about = forms::loadForm<frmAbout>();

    EXPECT_EQ(about.lblVersion->text(), "Version " LENTARO_TEST_PROJECT_VERSION);
    EXPECT_EQ(about.windowTitle(), "About Lentaro");
    EXPECT_EQ(about.Label1->text(), "TM");
    EXPECT_EQ(about.cmdOK->text(), "OK");
}

TEST_F(AboutWindow, TheSplashHasNoButtonsAndTheAboutBoxLoadedLaterHasBoth)
{
    auto& splash = forms::loadForm<frmAbout>();
    splash.showButtons(false);
    splash.show();
    EXPECT_FALSE(splash.cmdOK->isVisible());
    EXPECT_FALSE(splash.Command1->isVisible());
    splash.unload();

    auto& about = forms::loadForm<frmAbout>();
    EXPECT_NE(&about, &splash);
    bool bothVisible = false;
    WhenModal user([&](QWidget&) {
        bothVisible = about.cmdOK->isVisible() && about.Command1->isVisible();
        about.cmdOK->click();
    });
    about.exec();

    EXPECT_TRUE(user.acted());
    EXPECT_TRUE(bothVisible);
    EXPECT_FALSE(isLoaded("frmAbout"));
}

TEST_F(AboutWindow, TheWebButtonOpensTheMakersSiteAndCloses)
{
    UrlRecorder browser;
    const ScopedOverride browserInPlace(urlOpener, browser);
    auto& about = forms::loadForm<frmAbout>();
    about.show();

    about.Command1->click();

    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0].scheme(), "https");
    EXPECT_FALSE(isLoaded("frmAbout"));
}

} // namespace
} // namespace lentaro::test
