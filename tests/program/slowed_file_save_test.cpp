#include "tests/program/loop_side_window_fixture.h"

#include "app/programstate.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <optional>

#include <unistd.h>

namespace lentaro::test {
namespace {

const QString workingNameRefused =
    QStringLiteral("Please choose a different name. Lentaro likes temp.wav for itself.");

// File > Save Last Slowed-Down File after a loop of music/song.wav was slowed to 50 %: a
// finished tempslow.wav and a temp.wav in the program folder, the song at the head of the
// recent files.
class SlowedFileSave : public LoopSideWindowWithEngineTest
{
protected:
    frmMain& main()
    {
        frmMain& m = readyWithEngine();
        writeFile(QStringLiteral("tempslow.wav"), slowed_);
        writeFile(QStringLiteral("temp.wav"), original_);
        QDir(home()).mkpath(QStringLiteral("keep"));
        QDir(home()).mkpath(QStringLiteral("music"));
        writeFile(QStringLiteral("music/song.wav"), song_);
        // Transform on the song's loop left these.
        m.state().savedWaveFileName = songPath();
        m.state().savedCdView = false;
        m.state().setSlowDownPercent(50);
        m.addToMRUs(songPath());
        return m;
    }
    QString songPath() const { return path(QStringLiteral("music/song.wav")); }
    static void save(frmMain& m) { control<QAction>(m, "mnuSaveSlowedDownFile")->trigger(); }

    const QByteArray slowed_ = monoWave(QByteArray(800, '\x11'));
    const QByteArray original_ = monoWave(QByteArray(400, '\x22'));
    const QByteArray song_ = monoWave(QByteArray(600, '\x33'));
};

// The dialog proposes a new file beside the song, named after it and the speed; a disc's loop
// is named as a loop, in the dialog's own folder.
TEST_F(SlowedFileSave, TheDialogProposesANewNameBesideTheSource)
{
    frmMain& m = main();
    struct Case {
        const char* name;
        bool fromDisc;
        int percent;
        QString folder;
        QString fileName;
    };
    const Case cases[] = {
        {"the song at half speed", false, 50, path(QStringLiteral("music")),
         QStringLiteral("song slowed 50%.wav")},
        {"the song faster", false, 150, path(QStringLiteral("music")),
         QStringLiteral("song at 150%.wav")},
        {"a disc's loop", true, 70, m.loopControls().dlgWave.folder,
         QStringLiteral("loop slowed 70%.wav")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m.state().savedCdView = c.fromDisc;
        m.state().setSlowDownPercent(c.percent);
        prompts_.queueFile(std::nullopt);
        save(m);

        ASSERT_FALSE(prompts_.fileDialogs().empty());
        const forms::FileDialogRequest& asked = prompts_.fileDialogs().back();
        EXPECT_EQ(asked.caption, QStringLiteral("Choose filename for slowed-down file"));
        EXPECT_EQ(asked.kind, forms::FileDialogRequest::Kind::Save);
        EXPECT_EQ(asked.folder, c.folder);
        EXPECT_EQ(asked.fileName, c.fileName);
        EXPECT_EQ(m.loopControls().dlgWave.caption, QStringLiteral("Select wave file to open"));
        EXPECT_EQ(m.mruPath(1), songPath());
    }
    EXPECT_TRUE(prompts_.messageBoxes().empty());
}

// The copy is whole or nothing, never over the song the loop came from or a working file
// however the name reaches it, and only a saved name joins the recent files.
TEST_F(SlowedFileSave, TheCopyIsWholeNeverOverTheSourceOrAWorkingFileAndOnlyThenListed)
{
    frmMain& m = main();
    const QString keep = path(QStringLiteral("keep/slow.wav"));
    // Other ways to the song and the working files.
    ASSERT_TRUE(QFile::link(songPath(), path(QStringLiteral("keep/song link.wav"))));
    ASSERT_EQ(::link(songPath().toLocal8Bit().constData(),
                     path(QStringLiteral("keep/song hard.wav")).toLocal8Bit().constData()),
              0);
    ASSERT_TRUE(QFile::link(path(QStringLiteral("tempslow.wav")),
                            path(QStringLiteral("keep/slowed link.wav"))));
    ASSERT_EQ(::link(path(QStringLiteral("temp.wav")).toLocal8Bit().constData(),
                     path(QStringLiteral("keep/loop hard.wav")).toLocal8Bit().constData()),
              0);
    const QString sourceRefused =
        QStringLiteral("The slowed-down loop cannot replace the file it was made from, ");
    struct Case {
        const char* name;
        std::optional<QString> chosen;
        QByteArray before; // what a new name held, empty for none
        bool saved;
        QString message; // the start of the message shown, "" for none
    };
    const Case cases[] = {
        {"a new file", keep, {}, true, {}},
        {"an existing file replaced", keep, "old", true, {}},
        {"cancelled", std::nullopt, {}, false, {}},
        {"an empty name", QString(), {}, false, {}},
        {"the song itself", songPath(), {}, false, sourceRefused},
        {"the song through ..",
         path(QStringLiteral("keep/../music/song.wav")),
         {},
         false,
         sourceRefused},
        {"the song by a relative name",
         QDir::current().relativeFilePath(songPath()),
         {},
         false,
         sourceRefused},
        {"the song through a link",
         path(QStringLiteral("keep/song link.wav")),
         {},
         false,
         sourceRefused},
        {"the song through a hard link",
         path(QStringLiteral("keep/song hard.wav")),
         {},
         false,
         sourceRefused},
        {"the program's temp.wav", path(QStringLiteral("temp.wav")), {}, false, workingNameRefused},
        {"temp.wav by a way round",
         path(QStringLiteral("keep/../temp.wav")),
         {},
         false,
         workingNameRefused},
        {"temp.wav through a hard link",
         path(QStringLiteral("keep/loop hard.wav")),
         {},
         false,
         workingNameRefused},
        {"tempslow.wav through a link",
         path(QStringLiteral("keep/slowed link.wav")),
         {},
         false,
         workingNameRefused},
        {"a tempslow.wav elsewhere, any case",
         path(QStringLiteral("keep/TempSlow.WAV")),
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
        const bool newName = c.chosen && (c.saved || !c.before.isEmpty());
        if (newName) {
            QFile::remove(*c.chosen);
            if (!c.before.isEmpty())
                writeFile(QDir(home()).relativeFilePath(*c.chosen), c.before);
        }
        const std::size_t messagesBefore = prompts_.messageBoxes().size();
        prompts_.queueFile(c.chosen);
        save(m);

        EXPECT_EQ(m.mruPath(1), c.saved ? *c.chosen : songPath());
        if (c.saved) {
            QFile copy(*c.chosen);
            ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
            EXPECT_EQ(copy.readAll(), slowed_);
            m.addToMRUs(songPath());
        }
        ASSERT_EQ(prompts_.messageBoxes().size(), messagesBefore + (c.message.isEmpty() ? 0 : 1));
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(prompts_.messageBoxes().back().text.startsWith(c.message))
                << prompts_.messageBoxes().back().text.toStdString();
        }
        EXPECT_EQ(readFile(QStringLiteral("tempslow.wav")), slowed_);
        EXPECT_EQ(readFile(QStringLiteral("temp.wav")), original_);
        EXPECT_EQ(readFile(QStringLiteral("music/song.wav")), song_);
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("keep/TempSlow.WAV"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("keep/slow.wav.copying"))));
    EXPECT_EQ(trappedError(), 0);
}

// While a pass writes tempslow.wav there is nothing whole to save: no dialog, a message.
TEST_F(SlowedFileSave, NothingIsSavedWhileAPassWritesTheFile)
{
    frmMain& m = main();
    programState().gvSlowedFileReady = false;
    programState().gvRealtime = true;
    loops_->playSlowDownLoop();
    ASSERT_EQ(runner_.passes.size(), 1u);
    // What the pass has written so far.
    writeFile(QStringLiteral("tempslow.wav"), slowed_.left(100));
    save(m);
    EXPECT_TRUE(prompts_.fileDialogs().empty());
    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    EXPECT_EQ(m.mruPath(1), songPath());

    // Replaying the finished pass: saved.
    writeFile(QStringLiteral("tempslow.wav"), slowed_);
    runner_.complete(0);
    ASSERT_TRUE(runUntil([] { return programState().gvSlowedFileReady; }));
    const QString keep = path(QStringLiteral("keep/slow.wav"));
    prompts_.queueFile(keep);
    save(m);
    EXPECT_EQ(m.mruPath(1), keep);
    EXPECT_TRUE(QFile::exists(keep));
}

} // namespace
} // namespace lentaro::test
