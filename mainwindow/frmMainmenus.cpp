// The menu items of the main window that no other part of the program owns.

#include "mainwindow/frmMain.h"

#include "app/frmAbout.h"
#include "app/frmOptions.h"
#include "app/hints.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "app/tooltips.h"
#include "app/webaddresses.h"
#include "app/workingfiles.h"
#include "mainwindow/ignoringerrors.h"
#include "platform/forms/formregistry.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"
#include "platform/shell/programfolder.h"
#include "platform/shell/urlopener.h"
#include "trace/tracescope.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QUrl>

#include <array>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

bool slowedFileExists()
{
    return QFile::exists(tempSlowWav());
}

} // namespace

void frmMain::checkTooltips()
{
    lentaro::checkTooltips(this);
}

void frmMain::showWithReportsPaused(const std::function<void()>& showDialog)
{
    // No position reports while the dialog is up; they come back however it ends, on the
    // device that is live then (a dialog may have switched the view).
    state_.currentMMControl()->setUpdateInterval(0);
    const auto reportsBack = qScopeGuard([this] {
        if (state_.currentMMControl())
            state_.currentMMControl()->setUpdateInterval(liveUpdateInterval);
    });
    showDialog();
}

void frmMain::mnuSettings_Click()
{
    TraceScope trace(module, "Sub mnuSettings_Click");
    trace.run([&] { showWithReportsPaused([] { forms::loadForm<frmOptions>().exec(); }); });
}

void frmMain::mnuConvertMP3_Click()
{
    TraceScope trace(module, "Sub mnuConvertMP3_Click");
    trace.run(
        [&] { ignoringErrors([&] { showWithReportsPaused([&] { cd().showMp3Conversion(); }); }); });
}

void frmMain::menuAbout_Click()
{
    TraceScope trace(module, "Sub menuAbout_Click");
    trace.run([&] { forms::loadForm<frmAbout>().exec(); });
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

void frmMain::mnuView_Click()
{
    TraceScope trace(module, "Sub mnuView_Click");
    trace.run([&] {
        for (std::size_t i = 0; i < mnuChooseView.size(); ++i) {
            mnuChooseView[i]->setChecked(state_.currentView() == static_cast<int>(i) + 1
                                         && state_.cdView);
        }
        mnuWaveView->setChecked(!(state_.cdView || programState().gvSlowMode));
    });
}

void frmMain::mnuWaveView_Click()
{
    TraceScope trace(module, "Sub mnuWaveView_Click");
    trace.run([&] { changeToMode(QStringLiteral("Wave")); });
}

void frmMain::menuHelpChoice_Click()
{
    TraceScope trace(module, "Sub menuHelpChoice_Click");
    trace.run([&] {
        ignoringErrors([&] { MMsuspend(QStringLiteral("CD")); });
        const QString manual = programFolder() + QStringLiteral("/Lentaro Manual.pdf");
        if (!QFileInfo::exists(manual)) {
            ignoringErrors([&] { forms::MsgBox(QStringLiteral("The help file was not found.")); });
            MMgo();
            return;
        }
        if (!urlOpener().open(QUrl::fromLocalFile(manual))) {
            ignoringErrors([&] {
                forms::MsgBox(QStringLiteral("The help file requires that you have the free Adobe "
                                             "Acrobat reader installed. You can download this "
                                             "program from ")
                              + pdfReaderWebAddress);
            });
            MMgo();
        }
        // Opened: the devices stay parked until the next view switch or restore of the window.
    });
}

void frmMain::mnuSoundQualityTips_Click()
{
    TraceScope trace(module, "Sub mnuSoundQualityTips_Click");
    trace.run([&] { ShowHint(QStringLiteral("importantNote"), true); });
}

void frmMain::mnuWeb_Click(int Index)
{
    TraceScope trace(module, "Sub mnuWeb_Click", {{"Index", Index}});
    trace.run([&] {
        const auto page = [](const char* name) {
            return productWebAddress + QLatin1Char('/') + QLatin1String(name)
                   + QStringLiteral(".htm");
        };
        const std::array<QString, 4> addresses{page("update"), productWebAddress, page("subscribe"),
                                               faqWebAddress};
        const QString& address = addresses.at(static_cast<std::size_t>(Index));
        urlOpener().open(QUrl(address));
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

void frmMain::mnuTurnOnAllHints_Click()
{
    TraceScope trace(module, "Sub mnuTurnOnAllHints_Click");
    trace.run([&] { hintToggle(true); });
}

void frmMain::mnuTurnOffAllHints_Click()
{
    TraceScope trace(module, "Sub mnuTurnOffAllHints_Click");
    trace.run([&] { hintToggle(false); });
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
