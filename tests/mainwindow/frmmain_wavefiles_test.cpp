#include "tests/mainwindow/wave_window_fixture.h"

#include "app/programstate.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTableView>
#include <QTest>

#include <optional>

namespace lentaro::test {
namespace {

const QString refusal =
    QStringLiteral("Please choose a different name. Lentaro likes temp.wav for itself.");

class WaveFiles : public WaveWindowTest
{
protected:
    QString other(const QString& name) const { return path(QStringLiteral("other/") + name); }
    QString inHome(const QString& name) const { return path(name); }
    int waveRows() const { return rows(QStringLiteral("SELECT * FROM \"Wave Files\"")).size(); }
    QList<QVariantList> loopsOf(const QString& name) const
    {
        return rows(QStringLiteral("SELECT l.startTime, l.endTime, l.Comment FROM WaveLoopPoints l "
                                   "JOIN \"Wave Files\" w ON w.waveFileID = l.waveFileID WHERE "
                                   "w.waveFileName = '%1' ORDER BY l.startTime")
                        .arg(name));
    }
};

// What File > Open does with each choice: the working files are refused or copied, and a
// cancelled dialog opens nothing.
TEST_F(WaveFiles, OpenRefusesTheWorkingFilesAndCopiesTempslowOnlyUnderAFreeName)
{
    struct Case {
        const char* name;
        QString chosen;
        std::optional<forms::Answer> copyQuestion;
        std::optional<QString> copyAs; // the Save As answer, when it is asked
        QString box;                   // the message shown, "" for none
        QString opened;                // the file the Wave view shows, "" for none
    };
    const QByteArray workingTemp = "the working temp.wav";
    const Case cases[] = {
        {"mytemp.wav", other("mytemp.wav"), {}, {}, refusal, {}},
        {"TEMP.WAV", other("TEMP.WAV"), {}, {}, refusal, {}},
        {"tempslow.wav, No", inHome("tempslow.wav"), forms::Answer::No, {}, {}, {}},
        {"copy.wav",
         inHome("tempslow.wav"),
         forms::Answer::Yes,
         other("copy.wav"),
         {},
         other("copy.wav")},
        {"copy named tempslow.wav",
         inHome("tempslow.wav"),
         forms::Answer::Yes,
         other("tempslow.wav"),
         refusal,
         {}},
        {"copy named temp.wav",
         inHome("tempslow.wav"),
         forms::Answer::Yes,
         other("temp.wav"),
         refusal,
         {}},
        {"copy over the working temp.wav",
         inHome("tempslow.wav"),
         forms::Answer::Yes,
         inHome("temp.wav"),
         refusal,
         {}},
        {"Save As cancelled", inHome("tempslow.wav"), forms::Answer::Yes, std::nullopt, {}, {}},
        {"Open cancelled", QString(), {}, {}, {}, {}},
    };
    frmMain& main = started();
    secondsWave(inHome("tempslow.wav"), 1);
    secondsWave(other("mytemp.wav"), 1);
    secondsWave(other("TEMP.WAV"), 1);
    const QByteArray tempslow = readFile(QStringLiteral("tempslow.wav"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(QStringLiteral("temp.wav"), workingTemp);
        QFile::remove(other("copy.wav"));
        QFile::remove(other("tempslow.wav"));
        QFile::remove(other("temp.wav"));
        main.changeToMode(QStringLiteral("CD"));
        control<mci::MMControl>(main, "WaveControl")->setWait(true);
        control<mci::MMControl>(main, "WaveControl")->setCommand(QStringLiteral("Close"));
        control<mci::MMControl>(main, "WaveControl")->setFileName(QString());
        const std::size_t boxesBefore = prompts_.messageBoxes().size();

        if (c.chosen.isEmpty())
            prompts_.queueFile(std::nullopt);
        else
            prompts_.queueFile(c.chosen);
        if (c.copyQuestion)
            prompts_.queueAnswer(*c.copyQuestion);
        if (c.copyQuestion == forms::Answer::Yes)
            prompts_.queueFile(c.copyAs);
        control<QAction>(main, "mnuFileOpen")->trigger();

        EXPECT_EQ(prompts_.pendingAnswers(), 0u);
        QStringList boxes;
        for (std::size_t i = boxesBefore; i < prompts_.messageBoxes().size(); ++i) {
            if (prompts_.messageBoxes()[i].buttons == forms::Buttons::OkOnly)
                boxes << prompts_.messageBoxes()[i].text;
        }
        EXPECT_EQ(boxes, c.box.isEmpty() ? QStringList() : QStringList{c.box});
        EXPECT_EQ(readFile(QStringLiteral("temp.wav")), workingTemp);
        EXPECT_EQ(readFile(QStringLiteral("tempslow.wav")), tempslow);
        if (c.opened.isEmpty()) {
            EXPECT_TRUE(main.state().cdView);
            EXPECT_NE(control<mci::MMControl>(main, "CDControl")->mode(),
                      static_cast<int>(mci::Mode::Playing));
            EXPECT_FALSE(QFile::exists(other("copy.wav")));
            EXPECT_FALSE(QFile::exists(other("tempslow.wav")));
            EXPECT_FALSE(QFile::exists(other("temp.wav")));
        } else {
            EXPECT_FALSE(main.state().cdView);
            EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->fileName(), c.opened);
            EXPECT_EQ(main.windowTitle(), QStringLiteral("Lentaro: ") + c.opened);
            QFile copy(c.opened);
            ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
            EXPECT_EQ(copy.readAll(), tempslow);
            EXPECT_EQ(main.mruPath(1), c.opened);
            EXPECT_EQ(loopsOf(QStringLiteral("copy.wav")).size(), 1);
        }
    }
}

// A new file gets one row and one whole-file loop, shown with its length; opening it again,
// or after its length or date changed, finds that row; a file without loops gets its loop back.
TEST_F(WaveFiles, EachFileHasOneRowAndAtLeastItsWholeFileLoop)
{
    frmMain& main = started();
    const QString song = secondsWave(other("song.wav"), 2);
    openThroughMenu(main, song);

    EXPECT_EQ(main.windowTitle(), QStringLiteral("Lentaro: ") + song);
    EXPECT_EQ(control<QLabel>(main, "pnlTrackLength")->text(),
              QStringLiteral("Wave File Length 00:02"));
    EXPECT_EQ(control<QLabel>(main, "pnlCDlength")->text(), QStringLiteral("CD Length: 00:02"));
    EXPECT_EQ(control<QLabel>(main, "lblMMCtrl")->text(), QStringLiteral("Wave"));
    const auto files = rows(QStringLiteral(
        "SELECT waveFilePath, waveFileName, waveDataLength, waveFileModDate FROM \"Wave Files\""));
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0][0].toString(), path(QStringLiteral("other")));
    EXPECT_EQ(files[0][1].toString(), QStringLiteral("song.wav"));
    EXPECT_EQ(files[0][2].toInt(), 2000);
    EXPECT_EQ(files[0][3].toString(), QFileInfo(song).lastModified().toString(Qt::ISODate));
    const QList<QVariantList> wholeFile{{1, 2000, QStringLiteral("Entire file in this loop")}};
    EXPECT_EQ(loopsOf(QStringLiteral("song.wav")), wholeFile);
    ASSERT_NE(control<QTableView>(main, "loopPoints")->model(), nullptr);
    EXPECT_EQ(control<QTableView>(main, "loopPoints")->model()->rowCount(), 1);

    openThroughMenu(main, song);
    secondsWave(song, 3); // changed in length and date
    openThroughMenu(main, song);
    EXPECT_EQ(waveRows(), 1);
    EXPECT_EQ(loopsOf(QStringLiteral("song.wav")), wholeFile);

    execute(QStringLiteral("DELETE FROM WaveLoopPoints"));
    main.changeToMode(QStringLiteral("CD"));
    control<QAction>(main, "mnuWaveView")->trigger();
    EXPECT_FALSE(main.state().cdView);
    EXPECT_EQ(loopsOf(QStringLiteral("song.wav")).size(), 1);
    EXPECT_EQ(control<QTableView>(main, "loopPoints")->model()->rowCount(), 1);
}

// The loop grid follows the file shown: file 1 after file 12 is bound afresh.
TEST_F(WaveFiles, TheLoopGridShowsTheLoopsOfTheFileShownWhateverItsId)
{
    frmMain& main = started();
    const QString one = secondsWave(other("one.wav"), 1);
    const QString twelve = secondsWave(other("twelve.wav"), 3);
    openThroughMenu(main, one);
    execute(QStringLiteral("INSERT INTO \"Wave Files\" (waveFileID, waveFilePath, waveFileName, "
                           "waveDataLength) VALUES (12, '%1', 'twelve.wav', 3000)")
                .arg(path(QStringLiteral("other"))));
    execute(QStringLiteral("INSERT INTO WaveLoopPoints (waveFileID, startTime, endTime, Comment) "
                           "VALUES (12, 500, 2500, 'chorus')"));
    ASSERT_EQ(rows(QStringLiteral("SELECT waveFileID FROM \"Wave Files\" ORDER BY 1")),
              (QList<QVariantList>{{1}, {12}}));

    for (const auto& [file, endTime] : {std::pair{twelve, 2500}, std::pair{one, 1000}}) {
        SCOPED_TRACE(file.toStdString());
        openThroughMenu(main, file);
        const QAbstractItemModel* grid = control<QTableView>(main, "loopPoints")->model();
        ASSERT_EQ(grid->rowCount(), 1);
        const int endColumn = 3; // rowKey, waveFileID, startTime, endTime
        EXPECT_EQ(grid->index(0, endColumn).data().toInt(), endTime);
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM WaveLoopPoints"))[0][0].toInt(), 2);
}

// Quotes in a path are data, not part of the search: the file finds its own row.
TEST_F(WaveFiles, APathWithQuotesFindsItsOwnRow)
{
    frmMain& main = started();
    const QString quoted = secondsWave(path(QStringLiteral("it's \"here\"/a'b\".wav")), 1);
    openThroughMenu(main, quoted);
    openThroughMenu(main, quoted);
    EXPECT_EQ(waveRows(), 1);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM WaveLoopPoints"))[0][0].toInt(), 1);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Lentaro: ") + quoted);
}

// A database that refuses the whole-file loop keeps no row without it; the error is reported
// and the view stays as it was.
TEST_F(WaveFiles, ARowWhoseLoopCannotBeWrittenIsNotKept)
{
    frmMain& main = started();
    execute(QStringLiteral("CREATE TRIGGER refuseLoops BEFORE INSERT ON WaveLoopPoints "
                           "BEGIN SELECT RAISE(ABORT, 'attempt to write a readonly database'); "
                           "END"));
    openThroughMenu(main, secondsWave(other("song.wav"), 1));

    EXPECT_NE(trappedError(), 0);
    EXPECT_EQ(waveRows(), 0);
    EXPECT_TRUE(main.state().cdView);
    EXPECT_EQ(control<QLabel>(main, "lblMMCtrl")->text(), QStringLiteral("CD"));
    EXPECT_NE(main.windowTitle(), QStringLiteral("Lentaro: ") + other("song.wav"));
}

// A file the wave device cannot open shows the device's message once and gets no row.
TEST_F(WaveFiles, AFileHoldingNoWaveDataGetsNoRow)
{
    frmMain& main = started();
    writeFile(QStringLiteral("notes.wav"), "these are notes, not sound");
    openThroughMenu(main, path(QStringLiteral("notes.wav")));

    ASSERT_EQ(shownMessages().size(), 1);
    EXPECT_FALSE(shownMessages()[0].isEmpty());
    EXPECT_NE(shownMessages()[0], QStringLiteral("File not found"));
    EXPECT_EQ(waveRows(), 0);
    EXPECT_TRUE(main.state().cdView);
}

// A file that does not open, chosen in File > Open or from the recent files, changes neither
// the list nor the window: the song open before stays open, shown and playable, and with none
// open the window goes on showing no wave file.
TEST_F(WaveFiles, AFileThatDoesNotOpenChangesNeitherTheRecentFilesNorTheWindow)
{
    enum class Road { OpenMenu, RecentFile };
    struct Case {
        const char* name;
        Road road;
        QString bad;
        bool songOpen;
        bool songGone = false; // removed from its folder while it is open
    };
    const QString notes = other("notes.wav");
    const QString empty = other("empty.wav");
    const QString gone = other("gone.wav");
    const Case cases[] = {
        {"text, File > Open, over a song", Road::OpenMenu, notes, true},
        {"empty, File > Open, over a song", Road::OpenMenu, empty, true},
        {"gone, recent file, over a song", Road::RecentFile, gone, true},
        {"text, recent file, over a song", Road::RecentFile, notes, true},
        {"text, File > Open, nothing open", Road::OpenMenu, notes, false},
        {"gone, recent file, nothing open", Road::RecentFile, gone, false},
        {"text, File > Open, the song gone meanwhile", Road::OpenMenu, notes, true, true},
    };
    frmMain& main = started();
    const QString song = secondsWave(other("song.wav"), 2);
    writeFile(QStringLiteral("other/notes.wav"), "these are notes, not sound");
    writeFile(QStringLiteral("other/empty.wav"), QByteArray());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main.changeToMode(QStringLiteral("CD"));
        control<mci::MMControl>(main, "WaveControl")->setWait(true);
        control<mci::MMControl>(main, "WaveControl")->setCommand(QStringLiteral("Close"));
        control<mci::MMControl>(main, "WaveControl")->setFileName(QString());
        main.addToMRUs(c.bad);
        if (c.songOpen)
            openThroughMenu(main, song);
        if (c.songGone)
            QFile::rename(song, song + QStringLiteral(".away"));
        const QStringList listBefore{main.mruPath(1), main.mruPath(2), main.mruPath(3)};
        const QString captionBefore = main.windowTitle();
        const QString lengthBefore = control<QLabel>(main, "pnlTrackLength")->text();
        const std::size_t boxesBefore = prompts_.messageBoxes().size();

        if (c.road == Road::OpenMenu) {
            openThroughMenu(main, c.bad);
        } else {
            ASSERT_EQ(main.mruPath(c.songOpen ? 2 : 1), c.bad);
            control<QAction>(main, QStringLiteral("mnuMRU(%1)").arg((c.songOpen ? 1 : 0) + 1))
                ->trigger();
        }

        ASSERT_EQ(prompts_.messageBoxes().size(), boxesBefore + 1);
        EXPECT_EQ((QStringList{main.mruPath(1), main.mruPath(2), main.mruPath(3)}), listBefore);
        if (c.songGone) {
            // Nothing is left open: the window shows no wave file rather than a song it cannot
            // play.
            EXPECT_TRUE(main.state().cdView);
            EXPECT_EQ(control<QLabel>(main, "lblMMCtrl")->text(), QStringLiteral("CD"));
            EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->fileName(), QString());
            QFile::rename(song + QStringLiteral(".away"), song);
            continue;
        }
        EXPECT_EQ(main.windowTitle(), captionBefore);
        EXPECT_TRUE(main.windowTitle().startsWith(QStringLiteral("Lentaro: ")));
        EXPECT_EQ(control<QLabel>(main, "pnlTrackLength")->text(), lengthBefore);
        EXPECT_EQ(main.state().cdView, !c.songOpen);
        if (c.songOpen) {
            EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->fileName(), song);
            EXPECT_EQ(control<QLabel>(main, "pnlTrackLength")->text(),
                      QStringLiteral("Wave File Length 00:02"));
            ASSERT_EQ(control<QTableView>(main, "loopPoints")->model()->rowCount(), 1);
            // Space plays the song from its start.
            const std::size_t heardBefore = heard().size();
            QTest::keyClick(&main, Qt::Key_Space);
            EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->mode(),
                      static_cast<int>(mci::Mode::Playing));
            ASSERT_TRUE(runUntil([&] {
                clock_->advance(std::chrono::milliseconds(20));
                return heard().size() > heardBefore;
            }));
            EXPECT_EQ(heard()[heardBefore], 1);
            QTest::keyClick(&main, Qt::Key_Space);
        } else {
            EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->fileName(), QString());
            EXPECT_TRUE(
                rows(QStringLiteral("SELECT * FROM \"Wave Files\" WHERE waveFileName = '%1'")
                         .arg(QFileInfo(c.bad).fileName()))
                    .isEmpty());
        }
    }
}

} // namespace
} // namespace lentaro::test
