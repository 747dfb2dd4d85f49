// A program folder that cannot take what is to be stored in it, full or read-only: opening a wave file says so and names it, as the user's to mend rather than as a
// program error; a CD title typed then stays on screen, shown as not saved, and is saved once
// the folder takes it again.
#include "tests/program/program_fixture.h"

#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "platform/mci/MMControl.h"
#include "tests/app/test_database.h"
#include "tests/cd/support/four_track_disc.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/full_disk.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/fsuid.h>
#include <unistd.h>

namespace lentaro::test {
namespace {

// Less than a change of the database needs: the database itself is larger.
constexpr rlim_t noRoom = 8 * 1024;

// A folder no new file can be made in, for the user-interface thread while it lasts: its write
// permissions taken away and, since root writes into any folder, files reached as nobody there.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& folder)
        : folder_(folder), permissions_(QFile::permissions(folder))
    {
        QFile::setPermissions(folder, readAndEnter);
        if (::geteuid() == 0)
            ::setfsuid(nobody);
    }
    ~ReadOnlyFolder()
    {
        if (::geteuid() == 0)
            ::setfsuid(0);
        QFile::setPermissions(folder_, permissions_);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // Read and entered by anyone: the user's own folder, taken away only the right to write.
    static constexpr QFileDevice::Permissions readAndEnter{
        QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser
        | QFileDevice::ExeUser | QFileDevice::ReadGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::ExeOther};

private:
    static constexpr uid_t nobody = 65534;
    QString folder_;
    QFileDevice::Permissions permissions_;
};

class ProgramFolderTrouble : public ProgramInUse
{
protected:
    void SetUp() override
    {
        ProgramInUse::SetUp();
        // Nothing but the program writes files while the folder is full.
        qunsetenv("LENTARO_AUDIO_CAPTURE");
    }
    // A first run, so that the program folder holds its database.
    void runOnce()
    {
        ASSERT_EQ(run({{QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
                       exitThroughTheMenu()},
                      1),
                  0);
        endRun();
    }
    QString database() const { return path(QStringLiteral("lentaro.mdb")); }
};

// Each trouble named in one message at the open of a wave file, which is then not opened, has
// no row, and leaves the CD view as it was.
TEST_F(ProgramFolderTrouble, AWaveFileOpenedSaysTheFolderCannotTakeItsRow)
{
    QTemporaryDir music;
    ASSERT_TRUE(music.isValid());
    QFile::setPermissions(music.path(), ReadOnlyFolder::readAndEnter | QFileDevice::WriteOwner);
    const QString song = music.filePath(QStringLiteral("song.wav"));
    mci::test::writeWave16(song.toStdString(), 44100, 1, std::vector<std::int16_t>(44100, 1000));
    runOnce();
    const QString notOpened =
        song
        + QStringLiteral(" was not opened: its row in the database could not be stored, "
                         "because ");
    const struct {
        const char* name;
        bool full;
        QString said;
    } troubles[] = {
        {"full", true,
         notOpened + QStringLiteral("the program folder ") + home()
             + QStringLiteral(" is full. Free some space on its disk and try again.")},
        {"read-only", false,
         notOpened + QStringLiteral("the program folder ") + home()
             + QStringLiteral(" is read-only. Make it writable, or set LENTARO_HOME to another "
                              "folder, and try again.")},
    };
    int firstNumber = 3;
    for (const auto& trouble : troubles) {
        SCOPED_TRACE(trouble.name);
        std::optional<FullDisk> full;
        std::optional<ReadOnlyFolder> readOnly;
        qsizetype before = 0;
        const std::vector<Person::Step> steps{
            {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
            {QStringLiteral("opened"),
             [&] {
                 before = shownMessages().size();
                 if (trouble.full)
                     full.emplace(noRoom);
                 else
                     readOnly.emplace(home());
                 prompts_.queueFile(song);
                 press(main(), Qt::Key_O, Qt::ControlModifier);
             },
             {},
             [&] {
                 full.reset();
                 readOnly.reset();
                 EXPECT_EQ(shownMessages().mid(before), QStringList{trouble.said});
                 EXPECT_TRUE(main().state().cdView);
             }},
            exitThroughTheMenu(),
        };
        EXPECT_EQ(run(steps, firstNumber), 0);
        firstNumber += static_cast<int>(steps.size());
        endRun();
        EXPECT_EQ(TestDatabase(database())
                      .value(QStringLiteral("SELECT COUNT(*) FROM \"Wave Files\""))
                      .toInt(),
                  0);
    }
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

// Transform in a full folder: the loop cannot be cut into temp.wav, and the message says why;
// the wave file stays open in the Wave view.
TEST_F(ProgramFolderTrouble, TransformSaysTheFolderCannotTakeTheLoop)
{
    const QString song = path(QStringLiteral("music/song.wav"));
    QDir().mkpath(QFileInfo(song).absolutePath());
    mci::test::writeWave16(song.toStdString(), 44100, 1, std::vector<std::int16_t>(44100, 1000));
    std::optional<FullDisk> full;
    qsizetype before = 0;
    const std::vector<Person::Step> steps{
        {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
        {QStringLiteral("opened"),
         [&] {
             prompts_.queueFile(song);
             press(main(), Qt::Key_O, Qt::ControlModifier);
         },
         [] { return !main().state().cdView; },
         {}},
        {QStringLiteral("transformed"),
         [&] {
             before = shownMessages().size();
             full.emplace(noRoom);
             click(control<QPushButton>(main(), "cmdSlowPlay"));
         },
         {},
         [&] {
             full.reset();
             EXPECT_EQ(shownMessages().mid(before),
                       QStringList{QStringLiteral("The loop could not be cut out of ") + song
                                   + QStringLiteral(" into temp.wav, because the program folder ")
                                   + home()
                                   + QStringLiteral(" is full. Free some space on its disk and "
                                                    "try again.")});
             EXPECT_FALSE(programState().gvSlowMode);
             EXPECT_EQ(control<mci::MMControl>(main(), "WaveControl")->fileName(), song);
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(steps, 1), 0);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

// Typed into a full folder, the title stays in the field, in red, with a message saying why;
// left again once there is room, it is stored and shown as stored.
TEST_F(ProgramFolderTrouble, ACdTitleNotStoredStaysShownAsNotSaved)
{
    QTemporaryDir images;
    ASSERT_TRUE(images.isValid());
    const std::filesystem::path cue =
        cd::test::writeImage(images.path().toStdString(), "disc", fourTrackDisc());
    std::vector<std::unique_ptr<cd::Drive>> drives;
    drives.push_back(std::make_unique<cd::ImageDrive>(cue));
    cd::DriveList driveList(std::move(drives));
    const ScopedOverride drivesInPlace(cd::cdDrives, driveList);
    runOnce();

    const QString title = QStringLiteral("Blue Train");
    const auto leaveTitle = [] {
        control<QLineEdit>(main(), "CDTitle")->setFocus();
        QTest::keyClick(control<QLineEdit>(main(), "CDTitle"), Qt::Key_Return);
    };
    const auto red = [] {
        return control<QLineEdit>(main(), "CDTitle")->palette().color(QPalette::Text)
               == QColor(Qt::red);
    };
    std::optional<FullDisk> full;
    qsizetype before = 0;
    const std::vector<Person::Step> steps{
        {QStringLiteral("started"),
         {},
         [] { return startedUp() && main().state().currentCDid != 0; },
         {}},
        {QStringLiteral("typed"),
         [&] {
             before = shownMessages().size();
             full.emplace(noRoom);
             control<QLineEdit>(main(), "CDTitle")->setFocus();
             control<QLineEdit>(main(), "CDTitle")->selectAll();
             QTest::keyClicks(control<QLineEdit>(main(), "CDTitle"), title);
             leaveTitle();
         },
         {},
         [&] {
             full.reset();
             EXPECT_EQ(shownMessages().mid(before),
                       QStringList{QStringLiteral("The CD title you typed could not be saved, "
                                                  "because the program folder ")
                                   + home()
                                   + QStringLiteral(" is full. Free some space on its disk and "
                                                    "try again. It stays in the field, in red, "
                                                    "and is saved when you leave the field "
                                                    "again.")});
             EXPECT_EQ(control<QLineEdit>(main(), "CDTitle")->text(), title);
             EXPECT_TRUE(red());
             EXPECT_NE(TestDatabase(database())
                           .value(QStringLiteral("SELECT Title FROM CDs WHERE CDid = %1")
                                      .arg(main().state().currentCDid))
                           .toString(),
                       title);
         }},
        {QStringLiteral("left-again"),
         [&] {
             before = shownMessages().size();
             leaveTitle();
         },
         {},
         [&] {
             EXPECT_EQ(shownMessages().mid(before), QStringList());
             EXPECT_FALSE(red());
             EXPECT_EQ(TestDatabase(database())
                           .value(QStringLiteral("SELECT Title FROM CDs WHERE CDid = %1")
                                      .arg(main().state().currentCDid))
                           .toString(),
                       title);
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(steps, 3), 0);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
