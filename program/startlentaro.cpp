#include "program/startlentaro.h"

#include "app/passend.h"
#include "app/programfolderowner.h"
#include "app/programstate.h"
#include "app/soundtroublenotice.h"
#include "app/startingproc.h"
#include "mainwindow/frmMain.h"
#include "platform/shell/programfolder.h"
#include "program/firstdriveownership.h"
#include "program/programsides.h"
#include "program/waveviewtrimgraph.h"
#include "trace/sentrixreporter.h"
#include "trace/tracedapplication.h"

#include <optional>

namespace lentaro {

int startLentaro(int& argc, char** argv)
{
    std::optional<TracedApplication> application;
    if (!QCoreApplication::instance())
        application.emplace(argc, argv);

    SentrixReporter reporter(programFolder() + QStringLiteral("/Lentaro Manual.pdf"));
    const ScopedOverride reporterInPlace(errorReporter, reporter);

    // The engine runner is the runner library (engineRunner's own).
    FirstDriveOwnership driveOwnership;
    const ScopedOverride ownershipInPlace(cdOwnershipQuery, driveOwnership);
    WaveViewTrimGraph graph;
    const ScopedOverride graphInPlace(trimGraph, graph);
    SoundTroubleNotice soundTroubleNotice;
    const ScopedOverride noticeInPlace(mci::soundTrouble, soundTroubleNotice);
    ProgramFolderOwner folderOwner;
    StartupLinks links;
    links.passEnded = &handOverPassEnd;
    links.folderOwner = &folderOwner;
    links.loadMainWindow = [] { new frmMain(&programSides); };
    // The program ends through its exit path only, not when the splash, the last window shown
    // while the main window is still hidden, closes.
    QApplication::setQuitOnLastWindowClosed(false);
    Main(links);

    // The exit path ends the process; only a test's end of the process returns.
    if (programState().gvExiting)
        return 0;
    return QApplication::exec();
}

} // namespace lentaro
