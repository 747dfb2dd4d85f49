#pragma once

#include "tests/app/window_fixture.h"

#include "mainwindow/frmMain.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace lentaro::test {

// Sides that record what the main window asked of them, in one list, and do nothing else,
// except that the loop side's return to a CD layout does what the stand-in does.
struct SideCalls {
    QStringList calls;
    // The main window as the CD side's set-up saw it during the window's load.
    bool hiddenDuringLoad = false;
    bool enabledDuringLoad = true;
    // The waveform view: whether it is open, and whether its key handler fails (after handing
    // the key back to the main window, as the view does with keys it does not use).
    bool waveViewOpen = false;
    bool waveViewKeyFails = false;
};

MainWindowSides recordingSides(frmMain& main, SideCalls& log);

// WindowTest with the shipped database in the program folder and the main window made on
// request; the window is gone again after each test.
class MainWindowTest : public WindowTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the main window with recording sides.
    frmMain& load();
    // Runs the event loop until the condition holds (false when it never did).
    static bool runUntil(const std::function<bool()>& condition);
    // Loads the window and lets its start-up finish, the tutorial hint answered Continue.
    frmMain& started();
    // A short mono wave file of silence in the program folder.
    QString waveFile(const QString& name);
    // A whole 16-bit mono wave file at 8,000 frames a second holding `samples` (little-endian).
    static QByteArray monoWave(const QByteArray& samples);

    SideCalls sides_;
    // Puts real sides in place of recording ones in the windows load() makes.
    std::function<void(frmMain&, MainWindowSides&)> replaceSides_;
    frmMain* main_ = nullptr;
};

} // namespace lentaro::test
