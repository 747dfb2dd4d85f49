#include "program/startlentaro.h"

#include "app/exitsignals.h"
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
#include "trace/crashrecord.h"
#include "trace/sentrixreporter.h"
#include "trace/tracedapplication.h"
#include "trace/traceruntime.h"

#include <optional>

namespace lentaro {

int startLentaro(int& argc, char** argv)
{
    std::optional<TracedApplication> application;
    if (!QCoreApplication::instance())
        application.emplace(argc, argv);

    SentrixReporter reporter(programFolder() + QStringLiteral("/Lentaro Manual.pdf"));
    const ScopedOverride reporterInPlace(errorReporter, reporter);
    // A crash leaves its record in the error log; a logout, a closed terminal or Ctrl+C leave
    // through the exit path.
    const CrashRecord crashRecord(TraceRuntime::current());
    const ExitSignals exitSignals;

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
