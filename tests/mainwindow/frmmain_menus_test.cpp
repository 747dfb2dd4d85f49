#include "tests/mainwindow/main_window_fixture.h"

#include "app/frmOptions.h"
#include "app/optionstargets.h"
#include "platform/mci/MMControl.h"

#include <QPushButton>

namespace lentaro::test {
namespace {

using Menus = MainWindowTest;

// The live device stops reporting positions while the settings dialog is up and reports every
// 500 ms again once it is closed.
TEST_F(Menus, SettingsPausesThePositionReports)
{
    frmMain& main = started();
    mci::MMControl* device = main.state().currentMMControl;
    int whileUp = -1;
    WhenModal close([&](QWidget& modal) {
        whileUp = device->updateInterval();
        dynamic_cast<frmOptions&>(modal).close();
    });
    main.mnuSettings->trigger();
    ASSERT_TRUE(close.acted());
    EXPECT_EQ(whileUp, 0);
    EXPECT_EQ(device->updateInterval(), frmMain::liveUpdateInterval);
}

// The settings dialog reaches the sides through the main window.
TEST_F(Menus, TheSettingsDialogReachesTheSides)
{
    started();
    optionsTargets().CDsetup();
    optionsTargets().showMixer();
    optionsTargets().btnLoopPlay_Click();
    EXPECT_EQ(sides_.calls, (QStringList{"CDsetup", "showMixer", "btnLoopPlay_Click"}));
}

} // namespace
} // namespace lentaro::test
