// File > Save Last Slowed-Down File (Ctrl+S) keeps only the loop of a pass that ran to its end:
// after a pass that the disk's room cut short, or one the person stopped, there is nothing to
// save; after one that succeeded, the whole slowed loop is saved.
#include "tests/program/program_fixture.h"

#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/TransportBar.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/full_disk.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <cmath>

namespace lentaro::test {
namespace {

constexpr int rate = 44100;
// The whole-file loop of a two-second song, slowed to half speed: four seconds of mono sound.
constexpr double slowedSeconds = 4.0;
// Room for temp.wav (176 KB), the database and the settings, not for the slowed loop (353 KB).
constexpr rlim_t roomOnDisk = 256 * 1024;

void writeSong(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::vector<std::int16_t> samples;
    for (int frame = 0; frame < 2 * rate; ++frame)
        samples.push_back(static_cast<std::int16_t>(
            std::lround(12000 * std::sin(2 * 3.14159265358979323846 * 440 * frame / rate))));
    mci::test::writeWave16(path.toStdString(), rate, 1, samples);
}

// As a person finds the File menu: the state of Save Last Slowed-Down File when it shows.
bool saveOffered(frmMain& main)
{
    QAction* item =
        menuItem(main, {QStringLiteral("File"), QStringLiteral("Save Last Slowed-Down File")});
    QMenu* file = nullptr;
    for (QAction* top : main.menuBar()->actions()) {
        if (readCaption(top->text()) == QStringLiteral("File"))
            file = top->menu();
    }
    if (!item || !file)
        return false;
    file->popup(main.mapToGlobal(QPoint(0, 0)));
    const bool enabled = item->isEnabled();
    file->close();
    return enabled;
}

class UnfinishedPass : public ProgramInUse
{
protected:
    void SetUp() override
    {
        ProgramInUse::SetUp();
        // Nothing but the program writes files while the disk is full.
        qunsetenv("LENTARO_AUDIO_CAPTURE");
        song_ = path(QStringLiteral("music/song.wav"));
        saved_ = path(QStringLiteral("music/kept.wav"));
        writeSong(song_);
    }

    Person::Step opened()
    {
        return {QStringLiteral("opened"),
                [this] {
                    prompts_.queueFile(song_);
                    press(main(), Qt::Key_O, Qt::ControlModifier);
                },
                [] { return !main().state().cdView; },
                {}};
    }
    static void transform()
    {
        QTableView& grid = *control<QTableView>(main(), "loopPoints");
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          grid.visualRect(grid.model()->index(0, 0)).center());
        click(control<QPushButton>(main(), "cmdSlowPlay"));
    }
    // Ctrl+S, answering the file dialog with kept.wav should it come.
    Person::Step saved(bool offered)
    {
        return {QStringLiteral("saved"),
                [this, offered] {
                    EXPECT_EQ(saveOffered(main()), offered);
                    dialogsBefore_ = prompts_.fileDialogs().size();
                    prompts_.queueFile(saved_);
                    press(main(), Qt::Key_S, Qt::ControlModifier);
                },
                {},
                [this, offered] {
                    EXPECT_EQ(prompts_.fileDialogs().size(), dialogsBefore_ + (offered ? 1 : 0));
                    EXPECT_EQ(QFileInfo::exists(saved_), offered);
                    if (!offered)
                        prompts_.queueFile(std::nullopt); // what was queued is not taken
                }};
    }
    double savedSeconds() const
    {
        const mci::test::WaveContents kept = mci::test::readWave(saved_.toStdString());
        return kept.rate > 0 ? double(kept.samples.size()) / kept.channels / kept.rate : 0;
    }

    QString song_;
    QString saved_;
    std::size_t dialogsBefore_ = 0;
};

// A pass that the full disk ends says so and leaves nothing to save; with room again, the next
// pass's whole loop is saved.
TEST_F(UnfinishedPass, OnlyAPassThatEndedWellLeavesTheLoopToSave)
{
    storePreferenceText(QStringLiteral("Realtime"), "False");
    std::optional<FullDisk> full;
    std::size_t messagesBefore = 0;
    const std::vector<Person::Step> steps{
        {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
        opened(),
        {QStringLiteral("failed"),
         [&] {
             messagesBefore = shownMessages().size();
             full.emplace(roomOnDisk);
             transform();
         },
         [&] { return std::size_t(shownMessages().size()) > messagesBefore; },
         [&] {
             full.reset();
             EXPECT_TRUE(shownMessages().back().startsWith(
                 QStringLiteral("The slowdown process failed with error code 6")))
                 << shownMessages().back().toStdString();
             EXPECT_FALSE(programState().gvSlowedFileReady);
             EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("tempslow.wav"))));
         }},
        saved(false),
        {QStringLiteral("again"),
         [] {
             click(
                 control<mci::MMControl>(main(), "slowControl")->bar()->button(mci::Button::Play));
         },
         [] { return programState().gvSlowedFileReady; },
         {}},
        saved(true),
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(steps, 1), 0);
    EXPECT_NEAR(savedSeconds(), slowedSeconds, 0.05);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

// A first pass heard live and stopped after a second leaves nothing to save either.
TEST_F(UnfinishedPass, APassStoppedLeavesNothingToSave)
{
    QElapsedTimer since;
    const std::vector<Person::Step> steps{
        {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
        opened(),
        {QStringLiteral("transformed"),
         [&] {
             transform();
             since.start();
         },
         [&] { return programState().gvSlowMode && since.elapsed() > 1000; },
         {}},
        {QStringLiteral("stopped"),
         [] { press(main(), Qt::Key_Space); },
         {},
         [this] {
             EXPECT_FALSE(programState().gvSlowedFileReady);
             EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("tempslow.wav"))));
         }},
        saved(false),
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(steps, 1), 0);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
