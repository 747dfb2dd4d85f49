#pragma once

#include "tests/cd/cd_drives_fixture.h"
#include "tests/cd/cd_shown.h"

#include "cd/cdidentification.h"
#include "mainwindow/frmMain.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace lentaro::test {

// The drives and a main window on the do-nothing sides whose CD control is open on D:.
// identification() is the CD display over that window, with the switches to a track it asks for
// recorded and a clock that moves on by `clockStep` at each reading.
class CdSideWindowTest : public CdDrivesTest
{
protected:
    void TearDown() override;

    // Makes the drives, one per image in order (D:, E:, ...); then loads the main window.
    void useDiscs(const std::vector<cd::test::ImageSpec>& discs);
    frmMain& main() { return *main_; }
    CdIdentification& identification();

    // Re-opens the CD control on the drive of that letter.
    void useDrive(char letter);

    QSqlDatabase db() override;

    Shown shown();
    static Shown noDisc() { return Shown::noDisc(); }
    static Shown noAudio() { return Shown::noAudio(); }

    std::vector<int> switchedToTracks_;
    // The main window gets the program's CD side instead of the stand-in.
    bool withCdSide_ = false;
    // When set, makes the main window's loop side in place of the stand-in.
    std::function<std::unique_ptr<LoopSide>(frmMain&)> makeLoops_;
    // When set, makes every side of the main window (the program's own, say) instead.
    std::function<MainWindowSides(frmMain&)> makeSides_;
    // True: the window's start-up runs once events are processed.
    bool runsStartUp_ = false;
    std::chrono::milliseconds clockStep_{500};
    std::chrono::steady_clock::duration now_{};

private:
    frmMain* main_ = nullptr;
    std::optional<CdIdentification> identification_;
};

} // namespace lentaro::test
