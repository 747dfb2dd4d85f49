#pragma once

#include "tests/cd/cd_drives_fixture.h"

#include "mainwindow/frmMain.h"

#include <functional>
#include <memory>
#include <vector>

namespace lentaro::test {

// The drives and a main window on the do-nothing sides (or the program's CD side) whose CD
// control is open on D:.
class CdSideWindowTest : public CdDrivesTest
{
protected:
    // Makes the drives, one per image in order (D:, E:, ...); then loads the main window.
    void useDiscs(const std::vector<cd::test::ImageSpec>& discs);
    frmMain& main() { return *main_; }

    // Re-opens the CD control on the drive of that letter.
    void useDrive(char letter);

    QSqlDatabase db() override;

    // The main window gets the program's CD side instead of the stand-in.
    bool withCdSide_ = false;
    // When set, makes the main window's loop side in place of the stand-in.
    std::function<std::unique_ptr<LoopSide>(frmMain&)> makeLoops_;
    // When set, makes every side of the main window (the program's own, say) instead.
    std::function<MainWindowSides(frmMain&)> makeSides_;
    // True: the window's start-up runs once events are processed.
    bool runsStartUp_ = false;

private:
    frmMain* main_ = nullptr;
};

} // namespace lentaro::test
