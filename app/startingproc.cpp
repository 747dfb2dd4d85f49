#include "app/startingproc.h"

#include "app/Preference.h"
#include "app/cdownership.h"
#include "app/databasefile.h"
#include "app/dbversion.h"
#include "app/directorytree.h"
#include "app/enginerunner.h"
#include "app/exitprogram.h"
#include "app/filecopy.h"
#include "app/frmAbout.h"
#include "app/messages.h"
#include "app/preferences.h"
#include "app/preferencetext.h"
#include "app/programfolderowner.h"
#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "app/soundsetup.h"
#include "platform/forms/formregistry.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screencursor.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QWindow>

namespace lentaro {

namespace {

constexpr char module[] = "startingproc";

QString driversFolder()
{
    return programFolder() + QStringLiteral("/drivers");
}

QString rootFolderText(const QString& folder)
{
    return QStringLiteral("This program was installed into a root directory (") + folder
           + QStringLiteral(") , probably inadvertently. It is not designed to run from such a "
                            "directory. Set LENTARO_HOME to another folder.");
}

// An old installation's file counts only when it is a database this program can read; an old
// file of another kind would make every later start fail to open lentaro.mdb.
bool opensAsDatabase(const QString& path)
{
    DatabaseFile file;
    QString reason;
    return file.open(path, reason);
}

// The adopted file replaces lentaro.mdb whole or not at all, and what lentaro.mdb held is kept
// beside it. A read-only lentaro.mdb is the user's to keep, whoever runs the program.
void adoptDatabase(const QString& oldFile, const QString& database)
{
    const QFileInfo current(database);
    if (current.exists()) {
        if (!(current.permissions() & QFileDevice::WriteOwner)) {
            throw RuntimeError(errorNumbers::pathFileAccess,
                               standardErrorText(errorNumbers::pathFileAccess)
                                   + QStringLiteral(": ") + database);
        }
        replaceWithCopy(database, database + QStringLiteral(".bak"));
    }
    replaceWithCopy(oldFile, database);
}

// The splash must be on the screen before the main window's long load starts, and a window
// appears only once the windowing system has exposed it. Bounded: a screen that never exposes
// it must not hold up the start.
void showAndPaint(QWidget& window)
{
    window.show();
    const QDeadlineTimer deadline(1000);
    do {
        QCoreApplication::processEvents();
    } while (window.windowHandle() && !window.windowHandle()->isExposed()
             && !deadline.hasExpired());
    window.repaint();
}

} // namespace

void Main(const StartupLinks& links)
{
    TraceScope trace(module, "Sub Main");
    trace.run([&] {
        const QString folder = programFolder();
        if (folder == QLatin1String("/")) {
            forms::MsgBox(rootFolderText(folder));
            // Returns only where the end of the process does (a test's).
            exitProgram();
            return;
        }
        if (links.folderOwner) {
            const ProgramFolderOwner::Claim claim = links.folderOwner->claim(folder);
            if (claim != ProgramFolderOwner::Claim::Owned) {
                if (claim == ProgramFolderOwner::Claim::Unanswered)
                    forms::MsgBox(folderInUseText(folder));
                exitProgram();
                return;
            }
        }
        copyShippedFiles();
        if (QFileInfo(driversFolder()).isDir()) {
            Message(QStringLiteral("Performing one-time initialization. This may take a "
                                   "minute.\n\nPlease wait..."),
                    QStringLiteral("Starting Lentaro"));
        }
        programState().gvStartingUp = true;
        cleanupASPI();
        handleOldMDB();
        initializePhase2(links);
    });
}

void cleanupASPI()
{
    TraceScope trace(module, "Sub cleanupASPI");
    trace.run([&] {
        // Nothing here installs drivers: the folder an older installation unpacked them into
        // only goes.
        QString folder = driversFolder();
        if (QFileInfo(folder).isDir())
            deleteDirectoryTree(folder);
    });
}

void handleOldMDB()
{
    TraceScope trace(module, "Sub handleOldMDB");
    trace.run([&] {
        Preference handled;
        handled.setPreferenceName(QStringLiteral("oldDBHandled"));
        // Unread, the flag could not be trusted to be stored either, and every start would
        // adopt the old file again over the newer data.
        if (handled.storeUnreachable() || handled.Value().toString() != unsetPreference)
            return;
        const QString folder = programFolder();
        const QString oldFile = folder + QStringLiteral("/Program Files/Lentaro II/lentaro.mdb");
        if (QFileInfo::exists(oldFile) && opensAsDatabase(oldFile)) {
            adoptDatabase(oldFile, folder + QStringLiteral("/lentaro.mdb"));
            if (startingNumber(readDbVersion()) >= 7.0)
                writeDbVersion(QStringLiteral("6"));
        }
        handled.setValue(true);
    });
}

void initializePhase2(const StartupLinks& links)
{
    TraceScope trace(module, "Sub initializePhase2");
    trace.run([&] {
        // A failure shows the runner's own box; start-up goes on and later passes fail.
        engineRunner().init(QStringLiteral("libkelvor.so"));
        engineRunner().registerCallBack(links.passEnded);
        setUpSound();
        programState().gvSlowMode = false;
        readPref(QStringLiteral("Show Tips at Startup"), programState().gvShowTips, true);
        checkForCDOwnership();
        const forms::ScopedScreenPointer hourglass(Qt::WaitCursor);
        frmAbout& splash = forms::loadForm<frmAbout>();
        splash.showButtons(false);
        showAndPaint(splash);
        links.loadMainWindow();
    });
}

} // namespace lentaro
