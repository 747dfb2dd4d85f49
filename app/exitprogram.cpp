#include "app/exitprogram.h"

#include "app/enginerunner.h"
#include "app/globals.h"
#include "platform/forms/formregistry.h"
#include "platform/shell/programfolder.h"
#include "trace/tracescope.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace lentaro {

namespace {

constexpr char module[] = "CdglobalIntl";

EngineRunner* runner = nullptr;
std::function<void()> quitAction;

// A pass still inside the engine when its library is unloaded would crash the process, so the
// pass is stopped first and the runner's clean-up waits for it before it lets the library go.
// Errors are ignored: nothing may keep the program from ending.
void releaseEngine()
{
    if (!runner)
        return;
    try {
        runner->stop();
    } catch (...) {
    }
    try {
        runner->cleanUp();
    } catch (...) {
    }
}

// A working file that is missing or cannot be deleted is simply left.
void deleteWorkingFiles()
{
    const QString folder = programFolder();
    QFile::remove(folder + QStringLiteral("/temp.wav"));
    QFile::remove(folder + QStringLiteral("/tempslow.wav"));
}

void endProcess()
{
    if (quitAction) {
        quitAction();
        return;
    }
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace

void exitProgram()
{
    TraceScope trace(module, "Sub exitProgram");
    trace.run([&] {
        // The windows closed below call back in here from their close handlers.
        if (gvExiting)
            return;
        gvExiting = true;
        releaseEngine();
        if (gvDeleteTempFiles)
            deleteWorkingFiles();
        closeAllForms();
        endProcess();
    });
}

void closeAllForms()
{
    TraceScope trace(module, "Sub closeAllForms");
    trace.run([&] {
        // The loaded windows in the order they were loaded, then any other top-level window.
        QList<QPointer<QWidget>> windows;
        for (QWidget* window : forms::loadedForms())
            windows.append(window);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!windows.contains(window))
                windows.append(window);
        }
        for (const QPointer<QWidget>& window : std::as_const(windows)) {
            if (window)
                window->close();
        }
    });
}

void setExitEngineRunner(EngineRunner* engineRunner)
{
    runner = engineRunner;
}

void setExitQuitAction(std::function<void()> quit)
{
    quitAction = std::move(quit);
}

} // namespace lentaro
