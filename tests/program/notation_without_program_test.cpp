// A notation file linked to a track and opened from the track menu: when no program on the
// computer opens that kind of file, the program says so; the link is kept either way.
#include "tests/program/program_fixture.h"

#include "mainwindow/frmMain.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "tests/app/test_database.h"
#include "tests/app/url_recorder.h"
#include "tests/cd/support/four_track_disc.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

namespace lentaro::test {
namespace {

class NotationWithoutProgram : public ProgramInUse
{};

TEST_F(NotationWithoutProgram, SaysNoProgramOpensThatKindOfFile)
{
    QTemporaryDir images;
    ASSERT_TRUE(images.isValid());
    const std::filesystem::path cue =
        cd::test::writeImage(images.path().toStdString(), "disc", fourTrackDisc());
    std::vector<std::unique_ptr<cd::Drive>> drives;
    drives.push_back(std::make_unique<cd::ImageDrive>(cue));
    cd::DriveList driveList(std::move(drives));
    const ScopedOverride drivesInPlace(cd::cdDrives, driveList);
    const QString score = path(QStringLiteral("tune.mus"));
    writeFile(QStringLiteral("tune.mus"), "a score");

    const struct {
        const char* name;
        bool programTakesIt;
        QStringList said;
    } cases[] = {
        {"no program for it",
         false,
         {score
          + QStringLiteral(" could not be opened: no program on this computer opens .mus files. "
                           "Install one that does, or link another file to this track.")}},
        {"a program for it", true, {}},
    };
    int firstNumber = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UrlRecorder desktop;
        desktop.answer = c.programTakesIt;
        const ScopedOverride desktopInPlace(urlOpener, desktop);
        qsizetype before = 0;
        const std::vector<Person::Step> steps{
            {QStringLiteral("started"),
             {},
             [] { return startedUp() && main().state().currentCDid != 0; },
             {}},
            {QStringLiteral("opened"),
             [&] {
                 before = shownMessages().size();
                 prompts_.queueFile(score);
                 control<QAction>(main(), "mnuOpenNotationFile")->trigger();
             },
             {},
             [&] {
                 EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(score)});
                 EXPECT_EQ(shownMessages().mid(before), c.said);
             }},
            exitThroughTheMenu(),
        };
        EXPECT_EQ(run(steps, firstNumber), 0);
        firstNumber += static_cast<int>(steps.size());
        endRun();
        EXPECT_EQ(TestDatabase(path(QStringLiteral("lentaro.mdb")))
                      .value(QStringLiteral("SELECT Notation FROM Tracks WHERE TrackNum = 1"))
                      .toString(),
                  score);
        TestDatabase(path(QStringLiteral("lentaro.mdb")))
            .run(QStringLiteral("UPDATE Tracks SET Notation = NULL;"));
    }
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
