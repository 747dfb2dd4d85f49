// The menu items of the main window that no other part of the program owns.

#include "mainwindow/frmMain.h"

#include "app/frmOptions.h"
#include "app/preferences.h"
#include "app/tooltips.h"
#include "platform/forms/formregistry.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"
#include "platform/shell/programfolder.h"
#include "trace/tracescope.h"

#include <QFile>
#include <QScopeGuard>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

bool slowedFileExists()
{
    return QFile::exists(programFolder() + QStringLiteral("/tempslow.wav"));
}

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

void frmMain::menuFile_Click()
{
    TraceScope trace(module, "Sub menuFile_Click");
    trace.run([&] { mnuSaveSlowedDownFile->setEnabled(slowedFileExists()); });
}

void frmMain::mnuSaveSlowedDownFile_Click()
{
    TraceScope trace(module, "Sub mnuSaveSlowedDownFile_Click");
    trace.run([&] {
        if (slowedFileExists())
            loops().saveSlowedDownFile();
    });
}

void frmMain::hintToggle(bool on)
{
    TraceScope trace(module, "Sub hintToggle", {{"on", on}});
    trace.run([&] {
        for (const char* hint : {"warnGraphic", "warnSlowdown", "warnRecordDigital",
                                 "warnTutorialExists", "Show Tips at Startup", "youMightTryDigital",
                                 "recordingMixerTakesAWhile", "importantNote"}) {
            bool stored = on;
            writePref(QString::fromLatin1(hint), stored, on);
        }
    });
}

void frmMain::txtCurrentPosition_RightClick()
{
    TraceScope trace(module, "Sub txtCurrentPosition_RightClick");
    trace.run([&] {
        forms::MsgBox(QStringLiteral(
            "Current Position of the CD is shown as tt:mm:ss, where tt is the track number and "
            "mm:ss the time in the track in minutes and seconds."));
    });
}

} // namespace lentaro
