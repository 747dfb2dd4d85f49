// The menu items of the main window that no other part of the program owns.

#include "mainwindow/frmMain.h"

#include "app/frmOptions.h"
#include "app/tooltips.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QScopeGuard>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

} // namespace

void frmMain::checkTooltips()
{
    lentaro::checkTooltips(this);
}

void frmMain::mnuSettings_Click()
{
    TraceScope trace(module, "Sub mnuSettings_Click");
    trace.run([&] {
        mci::MMControl* device = state_.currentMMControl;
        // No position reports while the dialog is up; they come back however it ends.
        device->setUpdateInterval(0);
        const auto reportsBack =
            qScopeGuard([device] { device->setUpdateInterval(liveUpdateInterval); });
        forms::loadForm<frmOptions>().exec();
    });
}

} // namespace lentaro
