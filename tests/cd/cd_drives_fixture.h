#pragma once

#include "tests/app/window_fixture.h"

#include "platform/cd/DigitalReader.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ScriptedDiscChanges.h"
#include "tests/cd/support/four_track_disc.h"
#include "tests/platform/cd/support/cd_image_writer.h"

#include <QSqlDatabase>
#include <QTemporaryDir>

#include <filesystem>
#include <optional>
#include <vector>

namespace lentaro::test {

// The shipped database in the program folder, drives of generated disc images in place of the
// machine's and a scripted disc-change source.
class CdDrivesTest : public WindowTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the drives, one per image in order (D:, E:, ...).
    void makeDrives(const std::vector<cd::test::ImageSpec>& discs);
    // The digital reader over the test's drives.
    cd::DigitalReader& reader();

    // Takes the disc out of the drive of that letter, or puts it back.
    void eject(char letter);
    void insert(char letter);

    // Counts of rows in the program's database.
    int count(const QString& table, const QString& where = QStringLiteral("1"));
    virtual QSqlDatabase db() = 0;

    QTemporaryDir images_;
    std::vector<std::filesystem::path> cues_;
    cd::DriveList drives_;
    cd::ScriptedDiscChanges discChanges_;
    std::optional<cd::DigitalReader> reader_;

private:
    std::optional<ScopedOverride<cd::DriveList>> drivesInPlace_;
    std::optional<ScopedOverride<cd::DiscChangeSource>> discChangesInPlace_;
};

} // namespace lentaro::test
