#include "tests/loops/loop_side_fixture.h"

#include "app/programstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <optional>

namespace lentaro::test {
namespace {

const QString workingNameRefused =
    QStringLiteral("Please choose a different name. Lentaro likes temp.wav for itself.");

// File > Save Last Slowed-Down File over a finished tempslow.wav and a temp.wav in the program
// folder, a song already at the head of the recent files.
class SlowedFileSave : public LoopSideWithEngineTest
{
protected:
    frmMain& main()
    {
        frmMain& m = readyWithEngine();
        writeFile(QStringLiteral("tempslow.wav"), slowed_);
        writeFile(QStringLiteral("temp.wav"), original_);
        QDir(home()).mkpath(QStringLiteral("keep"));
        m.addToMRUs(song_);
        return m;
    }

    const QByteArray slowed_ = monoWave(QByteArray(800, '\x11'));
    const QByteArray original_ = monoWave(QByteArray(400, '\x22'));
    const QString song_ = QStringLiteral("/music/song.wav");
};

TEST_F(SlowedFileSave, TheCopyIsWholeOrNothingAndOnlyASavedNameJoinsTheRecentFiles)
{
    frmMain& m = main();
    struct Case {
        const char* name;
        std::optional<QString> chosen;
        QByteArray before; // what the chosen file held, empty for none
        bool saved;
        QString message;
    };
    const QString keep = path(QStringLiteral("keep/slow.wav"));
    const Case cases[] = {
        {"a new file", keep, {}, true, {}},
        {"an existing file replaced", keep, "old", true, {}},
        {"cancelled", std::nullopt, {}, false, {}},
        {"an empty name", QString(), {}, false, {}},
        {"a tempslow.wav elsewhere, any case",
         path(QStringLiteral("keep/TempSlow.WAV")),
         {},
         false,
         {}},
        {"the program's temp.wav", path(QStringLiteral("temp.wav")), {}, false, workingNameRefused},
        {"temp.wav by a way round",
         path(QStringLiteral("keep/../temp.wav")),
         {},
         false,
         workingNameRefused},
        {"a folder that does not exist",
         path(QStringLiteral("missing/slow.wav")),
         {},
         false,
         QStringLiteral("The slowed-down file could not be saved as %1")
             .arg(path(QStringLiteral("missing/slow.wav")))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool workingFile = c.chosen && c.chosen->endsWith(QLatin1String("/temp.wav"));
        if (c.chosen && !workingFile) {
            QFile::remove(*c.chosen);
            if (!c.before.isEmpty())
                writeFile(QDir(home()).relativeFilePath(*c.chosen), c.before);
        }
        const std::size_t messagesBefore = prompts_.messageBoxes().size();
        prompts_.queueFile(c.chosen);
        m.mnuSaveSlowedDownFile_Click();

        ASSERT_FALSE(prompts_.fileDialogs().empty());
        const forms::FileDialogRequest& asked = prompts_.fileDialogs().back();
        EXPECT_EQ(asked.caption, QStringLiteral("Choose filename for slowed-down file"));
        EXPECT_EQ(asked.kind, forms::FileDialogRequest::Kind::Save);
        EXPECT_EQ(m.dlgWave.caption, QStringLiteral("Select wave file to open"));
        EXPECT_EQ(m.mruPath(1), c.saved ? *c.chosen : song_);
        if (c.saved) {
            QFile copy(*c.chosen);
            ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
            EXPECT_EQ(copy.readAll(), slowed_);
            m.addToMRUs(song_);
        } else if (c.chosen && !c.chosen->isEmpty()) {
            QFile chosen(*c.chosen);
            EXPECT_EQ(chosen.open(QIODevice::ReadOnly) ? chosen.readAll() : QByteArray(),
                      workingFile ? original_ : c.before);
        }
        ASSERT_EQ(prompts_.messageBoxes().size(), messagesBefore + (c.message.isEmpty() ? 0 : 1));
        if (!c.message.isEmpty())
            EXPECT_TRUE(prompts_.messageBoxes().back().text.startsWith(c.message));
        EXPECT_EQ(readFile(QStringLiteral("tempslow.wav")), slowed_);
        EXPECT_EQ(readFile(QStringLiteral("temp.wav")), original_);
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("keep/slow.wav.copying"))));
    EXPECT_EQ(trappedError(), 0);
}

// While a pass writes tempslow.wav there is nothing whole to save: no dialog, a message.
TEST_F(SlowedFileSave, NothingIsSavedWhileAPassWritesTheFile)
{
    frmMain& m = main();
    programState().gvSlowedFileReady = false;
    programState().gvRealtime = true;
    m.state().slowDownPercent = 50;
    loops_->playSlowDownLoop();
    ASSERT_EQ(runner_.passes.size(), 1u);
    // What the pass has written so far.
    writeFile(QStringLiteral("tempslow.wav"), slowed_.left(100));
    m.mnuSaveSlowedDownFile_Click();
    EXPECT_TRUE(prompts_.fileDialogs().empty());
    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_EQ(m.mruPath(1), song_);

    // Replaying the finished pass: saved.
    writeFile(QStringLiteral("tempslow.wav"), slowed_);
    runner_.complete(0);
    QCoreApplication::processEvents();
    m.tmrLoopDLL->stop();
    loops_->tmrLoopDLL_Timer();
    ASSERT_TRUE(programState().gvSlowedFileReady);
    const QString keep = path(QStringLiteral("keep/slow.wav"));
    prompts_.queueFile(keep);
    m.mnuSaveSlowedDownFile_Click();
    EXPECT_EQ(m.mruPath(1), keep);
    EXPECT_TRUE(QFile::exists(keep));
}

} // namespace
} // namespace lentaro::test
