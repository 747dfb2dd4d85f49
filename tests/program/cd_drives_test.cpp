#include "tests/program/program_fixture.h"

#include "app/frmOptions.h"
#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "tests/cd/support/four_track_disc.h"
#include "tests/platform/cd/support/cd_image_writer.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <optional>

namespace lentaro::test {
namespace {

const QString noDriveFound = QStringLiteral(
    "No CD drive was found. Once one is connected, choose it in Settings with \"Choose/Change "
    "CD Drive\".");

// The program started first on a machine without a CD drive, then again with one.
class CdDrives : public ProgramInUse
{
protected:
    void SetUp() override
    {
        ProgramInUse::SetUp();
        ASSERT_TRUE(images_.isValid());
        cue_ = cd::test::writeImage(images_.path().toStdString(), "disc", fourTrackDisc());
        drives_ = cd::DriveList();
        drivesInPlace_.emplace(cd::cdDrives, drives_);
    }
    void TearDown() override
    {
        drivesInPlace_.reset();
        ProgramInUse::TearDown();
    }

    void connectTheDrive()
    {
        std::vector<std::unique_ptr<cd::Drive>> drives;
        drives.push_back(std::make_unique<cd::ImageDrive>(cue_));
        drives_ = cd::DriveList(std::move(drives));
    }
    QString storedRecordMode() const
    {
        const std::optional<registry::Value> value = storedPreference("RecordMode");
        return value ? QString::fromStdString(value->bytes()).remove(QChar(0)) : QString();
    }

    // Settings, Recording: which mode shows chosen; closed without a change.
    static Person::Step settingsShow(const char* name, int mode)
    {
        return {QString::fromLatin1(name),
                [mode] {
                    WhenModal settings([mode](QWidget& modal) {
                        auto& dialog = dynamic_cast<frmOptions&>(modal);
                        clickTab(*dialog.tabOptions, QStringLiteral("Recording"));
                        EXPECT_TRUE(dialog.optRecordMode[mode]->isChecked());
                        click(captioned<QPushButton>(dialog, QStringLiteral("Close")));
                    });
                    choose(main(), {QStringLiteral("Settings")});
                    EXPECT_TRUE(settings.acted());
                },
                [] { return QApplication::activeModalWidget() == nullptr; },
                {}};
    }

    QTemporaryDir images_;
    std::filesystem::path cue_;
    cd::DriveList drives_;
    std::optional<ScopedOverride<cd::DriveList>> drivesInPlace_;
};

TEST_F(CdDrives, AStartWithoutADriveSaysSoOnceAndLeavesTheRecordModeToTheStartsWithIt)
{
    const auto started = [this](const char* name, const QStringList& told) {
        return Person::Step{QString::fromLatin1(name),
                            {},
                            [] { return startedUp(); },
                            [this, told] {
                                EXPECT_EQ(shownMessages(), told);
                                EXPECT_TRUE(prompts_.inputBoxes().empty());
                            }};
    };
    // No drive: analog for the run, said once, and nothing stored over the user's choice.
    for (const char* start : {"first", "second"}) {
        SCOPED_TRACE(start);
        const std::vector<Person::Step> steps{
            started("started-without-drive", {noDriveFound}),
            settingsShow("analog-this-run", 2),
            {QStringLiteral("mode-kept"),
             {},
             {},
             [this] {
                 EXPECT_EQ(programState().gvRecordMode, 2);
                 EXPECT_EQ(storedRecordMode(), QStringLiteral("1"));
             }},
            exitThroughTheMenu(),
        };
        EXPECT_EQ(run(steps, 1), 0);
        endRun();
    }

    connectTheDrive();
    const std::vector<Person::Step> withDrive{
        {QStringLiteral("disc-found"),
         {},
         [] {
             return startedUp()
                    && control<QLabel>(main(), "pnlMsg")->text() == QStringLiteral("CD Found");
         },
         [this] {
             EXPECT_EQ(shownMessages(), QStringList{noDriveFound});
             EXPECT_TRUE(prompts_.inputBoxes().empty());
             EXPECT_TRUE(programState().gvDigitalRecordingOK);
             EXPECT_EQ(programState().gvRecordMode, 1);
         }},
        settingsShow("digital-again", 1),
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(withDrive, 1), 0);
    endRun();
    EXPECT_EQ(storedRecordMode(), QStringLiteral("1"));
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
