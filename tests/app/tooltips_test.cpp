#include "tests/app/window_fixture.h"

#include "app/programstate.h"
#include "app/tooltips.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <map>

namespace lentaro::test {
namespace {

// A window whose controls carry design-time tooltips, one control without any, and a timer.
class TooltipsTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        form_.setObjectName("frmTrim");
        auto* play = new QPushButton("Play", &form_);
        play->setObjectName("cmdPlay");
        play->setToolTip("Play the loop  once\n(Space)");
        auto* preview = new QCheckBox("Preview end", &form_);
        preview->setObjectName("chkPreview");
        preview->setToolTip("Play the last 3 seconds");
        auto* label = new QLabel("Start", &form_);
        label->setObjectName("lblStart");
        new QTimer(&form_);
        designTexts_ = tooltips();
    }

    void TearDown() override
    {
        programState().gvShowTooltips = false;
        WindowTest::TearDown();
    }

    std::map<QString, QString> tooltips() const
    {
        std::map<QString, QString> texts;
        for (QWidget* control : form_.findChildren<QWidget*>())
            texts[control->objectName()] = control->toolTip();
        return texts;
    }

    bool allBlank() const
    {
        for (const auto& [name, text] : tooltips()) {
            if (!text.isEmpty())
                return false;
        }
        return true;
    }

    QWidget form_;
    std::map<QString, QString> designTexts_;
};

TEST_F(TooltipsTest, SwitchingOffBlanksEveryTooltipAndOnAgainRestoresTheExactTexts)
{
    stashTooltips(&form_);

    programState().gvShowTooltips = false;
    checkTooltips(&form_);
    EXPECT_TRUE(allBlank());

    programState().gvShowTooltips = true;
    checkTooltips(&form_);
    EXPECT_EQ(tooltips(), designTexts_);
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(TooltipsTest, HidingBeforeStashingKeepsTheTexts)
{
    hideTooltips(&form_);
    EXPECT_TRUE(allBlank());

    // A late stash while hidden must not take the blanks for the design texts.
    stashTooltips(&form_);
    showTooltips(&form_);

    EXPECT_EQ(tooltips(), designTexts_);
}

TEST_F(TooltipsTest, ShowingWithoutAStashLeavesTheTooltipsAlone)
{
    showTooltips(&form_);
    EXPECT_EQ(tooltips(), designTexts_);
}

TEST_F(TooltipsTest, AControlAddedAfterTheStashKeepsItsTextThroughOffAndOn)
{
    stashTooltips(&form_);
    auto* later = new QPushButton("Zoom", &form_);
    later->setObjectName("cmdZoom");
    later->setToolTip("Zoom in");

    hideTooltips(&form_);
    showTooltips(&form_);

    EXPECT_EQ(later->toolTip(), "Zoom in");
}

} // namespace
} // namespace lentaro::test
