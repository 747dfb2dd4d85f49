#pragma once

#include "tests/app/window_fixture.h"

#include "app/pallomirunner.h"
#include "platform/cd/DriveList.h"
#include "tests/program/person.h"

#include <QTemporaryDir>

#include <QTimer>

#include <functional>
#include <optional>

namespace lentaro {
class frmMain;
}

namespace lentaro::test {

// The runner library itself, with what its calls returned.
class ObservedPallomi : public PallomiRunner
{
public:
    std::int32_t init(const QString& engineLibraryName) override;
    std::int32_t cleanUp() override;

    std::optional<std::int32_t> initResult;
    std::optional<std::int32_t> cleanUpResult;
};

// Counts the end of the process and leaves the event loop the program runs.
class LoopEndingProcessEnd : public ProcessEnd
{
public:
    void endProcess() override;
    int ends = 0;
};

// The program as it starts: its error reporter answers without a dialog (an error must fail the
// test, not wait for a person), and a run that does not end in time is ended with code 1. The
// machine has no CD drive unless a test puts drives in place.
class Program : public WindowTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program; the person closes the main window as soon as it is up and start-up is
    // over, after `whenShown` has looked at it, and answers the first start's tutorial hint.
    int startAndClose(const std::function<void()>& whenShown);
    // Starts the program through its start function and returns when it ended.
    int start();

    LoopEndingProcessEnd processEnd_;
    ObservedPallomi runner_;
    bool hintAnswered_ = false;

private:
    QTimer deadline_;
    cd::DriveList noDrives_;
    std::optional<ScopedOverride<cd::DriveList>> noDrivesInPlace_;
    std::optional<ScopedOverride<ProcessEnd>> processEndInPlace_;
    std::optional<ScopedOverride<EngineRunner>> runnerInPlace_;
};

// The program used as a person uses it, from start to exit and in later starts in the same
// folder: keys, menu items and controls found by their captions. The sound goes to the null
// device, in real time, which keeps it in a capture file.
class ProgramInUse : public Program
{
protected:
    void SetUp() override;

    static frmMain* mainWindow();
    static frmMain& main() { return *mainWindow(); }
    static bool startedUp();
    // File > Exit.
    static Person::Step exitThroughTheMenu();
    // Runs the program with the person taking these steps, the tutorial hint answered Continue.
    int run(std::vector<Person::Step> steps, int firstNumber);
    // As a new process finds it.
    static void endRun();

    QTemporaryDir sound_;
    QString capture_;
};

} // namespace lentaro::test
