#pragma once

#include "tests/app/window_fixture.h"

#include "mainwindow/frmMain.h"
#include "tests/support/mono_wave_files.h"

#include <QStringList>

#include <functional>
#include <map>
#include <memory>

namespace lentaro::test {

// Sides that record what the main window asked of them, in one list, and do nothing else,
// except that the loop side's return to a CD layout does what the stand-in does.
struct SideCalls {
    QStringList calls;
    // The main window as the CD side's set-up saw it during the window's load.
    bool hiddenDuringLoad = false;
    bool enabledDuringLoad = true;
    // The waveform view: whether it is open, whether asking that fails, and whether its key
    // handler fails (after handing the key back to the main window, as the view does with keys
    // it does not use).
    bool waveViewOpen = false;
    bool waveViewOpenFails = false;
    bool waveViewKeyFails = false;
    // What a side call does after it is recorded, by the call's name ("showMp3Conversion"):
    // a dialog's stand-in, or a failure.
    std::map<QString, std::function<void()>> actions;

    void record(const QString& call);
};

MainWindowSides recordingSides(frmMain& main, SideCalls& log);

// WindowTest with the shipped database in the program folder and the main window made on
// request; the window is gone again after each test.
class MainWindowTest : public WindowTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the main window with the sides makeSides gives.
    frmMain& load();
    // Recording sides; a test of a real side puts it in their place.
    virtual MainWindowSides makeSides(frmMain& main) { return recordingSides(main, sides_); }
    // Runs the event loop until the condition holds (false when it never did).
    static bool runUntil(const std::function<bool()>& condition);
    // Loads the window and lets its start-up finish, the tutorial hint answered Continue.
    frmMain& started();
    // A short mono wave file of silence in the program folder.
    QString waveFile(const QString& name);

    SideCalls sides_;
    frmMain* main_ = nullptr;
};

} // namespace lentaro::test
