#include "tests/loops/loop_side_fixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <optional>

namespace lentaro::test {
namespace {

// A loop's chords and lyrics; nothing for Null.
struct Notes {
    std::optional<QString> chords;
    std::optional<QString> lyrics;
};

class LyricsExport : public LoopSideTest
{
protected:
    // Loops a second apart holding the notes, the second (if any) the current one.
    void loopsWithNotes(const std::vector<Notes>& notes)
    {
        execute(QStringLiteral("DELETE FROM WaveLoopPoints"));
        std::vector<std::pair<int, QVariant>> loops;
        for (std::size_t i = 0; i < notes.size(); ++i)
            loops.emplace_back(static_cast<int>(i + 1) * 1000, QVariant());
        const int id = waveWithLoops(loops);
        const auto literal = [](const std::optional<QString>& text) {
            return text ? QLatin1Char('\'') + QString(*text).replace('\'', "''") + QLatin1Char('\'')
                        : QStringLiteral("NULL");
        };
        for (std::size_t i = 0; i < notes.size(); ++i)
            execute(QStringLiteral("UPDATE WaveLoopPoints SET chords = %1, lyrics = %2 WHERE "
                                   "waveFileID = %3 AND startTime = %4")
                        .arg(literal(notes[i].chords), literal(notes[i].lyrics))
                        .arg(id)
                        .arg((i + 1) * 1000));
        loops_->rows().requery();
        if (notes.size() > 1)
            loops_->rows().moveTo(1);
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    QTemporaryDir folder_;
};

// Each loop gives its chords, then its lyrics, a line each in UTF-8 ending CR LF; empty and
// Null fields give no line, line breaks inside a field stay, and the loop chosen stays chosen.
TEST_F(LyricsExport, EachLoopGivesItsChordsThenItsLyricsWhenNotEmpty)
{
    struct Case {
        const char* name;
        std::vector<Notes> notes;
        QByteArray written;
    };
    const Case cases[] = {
        {"chords only, neither, both",
         {{"Am G", std::nullopt}, {std::nullopt, std::nullopt}, {"C F", "la la"}},
         "Am G\r\nC F\r\nla la\r\n"},
        {"empty text and Null", {{"", std::nullopt}, {std::nullopt, ""}}, ""},
        {"a lyric of two lines",
         {{std::nullopt, "first line\nsecond line"}},
         "first line\nsecond line\r\n"},
        {"letters beyond ASCII",
         {{"D\u266F", "l\u00E0 o\u00F9"}},
         "D\xE2\x99\xAF\r\nl\xC3\xA0 o\xC3\xB9\r\n"},
        {"no loops", {}, ""},
    };
    ready();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        loopsWithNotes(c.notes);
        const int current = loops_->rows().currentRow();
        const QString path = folder_.filePath(QStringLiteral("notes.txt"));
        prompts_.queueFile(path);
        loops_->saveLyrics();
        EXPECT_EQ(contents(path), c.written);
        EXPECT_EQ(loops_->rows().currentRow(), current);
        const forms::FileDialogRequest& asked = prompts_.fileDialogs().back();
        EXPECT_EQ(asked.kind, forms::FileDialogRequest::Kind::Save);
        EXPECT_EQ(asked.caption, "Save chords and/or lyrics");
        EXPECT_EQ(trappedError(), 0);
    }
}

// Cancel writes nothing; a file that cannot be written is reported and nothing is left behind.
TEST_F(LyricsExport, CancelOrAFailedWriteLeavesTheFilesAsTheyWere)
{
    ready();
    loopsWithNotes({{"Am G", "la la"}});
    const QString kept = folder_.filePath(QStringLiteral("kept.txt"));
    {
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old notes");
    }
    prompts_.queueFile(std::nullopt);
    loops_->saveLyrics();
    EXPECT_EQ(contents(kept), "old notes");
    EXPECT_EQ(trappedError(), 0);

    const QString unwritable = folder_.filePath(QStringLiteral("no such folder/notes.txt"));
    prompts_.queueFile(unwritable);
    loops_->saveLyrics();
    EXPECT_FALSE(QFile::exists(unwritable));
    EXPECT_EQ(trappedError(), 75);
    EXPECT_TRUE(lastError().description.contains(unwritable));
}

} // namespace
} // namespace lentaro::test
