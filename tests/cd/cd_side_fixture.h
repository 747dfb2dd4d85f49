#pragma once

#include "tests/app/window_fixture.h"

#include "cd/cdidentification.h"
#include "mainwindow/frmMain.h"
#include "platform/cd/DigitalReader.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ScriptedDiscChanges.h"
#include "tests/cd/support/four_track_disc.h"
#include "tests/platform/cd/support/cd_image_writer.h"

#include <QSqlDatabase>
#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

namespace lentaro::test {

// The state the window shows: pnlMsg, caption, title field, whether the panels show.
struct Shown {
    QString pnlMsg;
    QString caption;
    QString title;
    bool panels;
    bool operator==(const Shown& o) const
    {
        return pnlMsg == o.pnlMsg && caption == o.caption && title == o.title && panels == o.panels;
    }
};
void PrintTo(const Shown& shown, std::ostream* out);

// One audio track of `seconds`.
cd::test::ImageSpec audioDisc(int seconds);

// The shipped database in the program folder, drives of generated disc images in place of the
// machine's, a scripted disc-change source, and a main window on the do-nothing sides whose CD
// control is open on D:. identification() is the CD display over that window, with the
// switches to a track it asks for recorded and a clock that moves on by `clockStep` at each
// reading.
class CdSideTest : public WindowTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the drives, one per image in order (D:, E:, ...); then loads the main window.
    void useDiscs(const std::vector<cd::test::ImageSpec>& discs);
    frmMain& main() { return *main_; }
    CdIdentification& identification();
    // The digital reader over the test's drives.
    cd::DigitalReader& reader();

    // Re-opens the CD control on the drive of that letter.
    void useDrive(char letter);
    // Takes the disc out of the drive of that letter, or puts it back.
    void eject(char letter);
    void insert(char letter);

    // Counts of rows in the program's database.
    int count(const QString& table, const QString& where = QStringLiteral("1"));
    QSqlDatabase db();

    Shown shown();
    static Shown noDisc();
    static Shown noAudio();

    QTemporaryDir images_;
    std::vector<std::filesystem::path> cues_;
    cd::DriveList drives_;
    cd::ScriptedDiscChanges discChanges_;
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
    std::optional<ScopedOverride<cd::DriveList>> drivesInPlace_;
    std::optional<ScopedOverride<cd::DiscChangeSource>> discChangesInPlace_;
    frmMain* main_ = nullptr;
    std::optional<cd::DigitalReader> reader_;
    std::optional<CdIdentification> identification_;
};

} // namespace lentaro::test
