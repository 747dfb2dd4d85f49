#include "app/exitprogram.h"

#include "app/enginerunner.h"
#include "app/programstate.h"
#include "app/workingfiles.h"
#include "platform/forms/formregistry.h"
#include "trace/tracescope.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace lentaro {

namespace {

constexpr char module[] = "CdglobalIntl";

// A pass still inside the engine when its library is unloaded would crash the process, so the
// pass is stopped first and the runner's clean-up waits for it before it lets the library go.
// Errors are ignored: nothing may keep the program from ending.
void releaseEngine()
{
    EngineRunner& runner = engineRunner();
    try {
        runner.stop();
    } catch (...) {
    }
    try {
        runner.cleanUp();
    } catch (...) {
    }
}

// A working file that is missing or cannot be deleted is simply left.
void deleteWorkingFiles()
{
    QFile::remove(tempWav());
    QFile::remove(tempSlowWav());
}

class ImmediateEnd : public ProcessEnd
{
public:
    void endProcess() override
    {
        std::fflush(nullptr);
        std::_Exit(0);
    }
};

} // namespace

Service<ProcessEnd> processEnd{madeAtFirstUse<ImmediateEnd>};

void exitProgram()
{
    TraceScope trace(module, "Sub exitProgram");
    trace.run([&] {
        // The windows closed below call back in here from their close handlers.
        if (programState().gvExiting)
            return;
        programState().gvExiting = true;
        releaseEngine();
        if (programState().gvDeleteTempFiles)
            deleteWorkingFiles();
        closeAllForms();
        processEnd().endProcess();
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

} // namespace lentaro
