// The manual as its build step makes it from the chapters, read back with poppler's pdfinfo,
// pdftotext and pdfimages: it opens, its contents tell the true page of every chapter, it holds
// every picture the chapters name, and it names every item of the main window's menus.
#include "tests/mainwindow/main_window_fixture.h"
#include "tests/support/sanitizers.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lentaro::test {
namespace {

// The chapter titles the hints and the other chapters send the reader to.
const QStringList chapterTitles{
    QStringLiteral("What Lentaro Is For"),
    QStringLiteral("Installing and Starting"),
    QStringLiteral("Tutorial"),
    QStringLiteral("Reference"),
    QStringLiteral("Sound Quality"),
    QStringLiteral("Troubleshooting Guide"),
};

struct Ran {
    int exitCode = -1;
    QString out;
    QString errors;
};

Ran runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    Ran ran;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ran.errors = program + QStringLiteral(" did not end");
        return ran;
    }
    ran.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    ran.out = QString::fromUtf8(process.readAllStandardOutput());
    ran.errors = QString::fromUtf8(process.readAllStandardError());
    return ran;
}

QStringList chapterFiles()
{
    return QString::fromUtf8(MANUAL_CHAPTERS).split(QLatin1Char('|'));
}

Ran makeManual(const QString& output, const QStringList& chapters)
{
    return runTool(QStringLiteral(MAKEMANUAL),
                   QStringList{QStringLiteral(PROJECT_VERSION), output} + chapters);
}

// Text as a reader searches it: one blank between words, a word broken after its hyphen at a
// line's end joined again.
QString searchable(QString text)
{
    text.replace(QRegularExpression(QStringLiteral("-\\s*\\n\\s*")), QStringLiteral("-"));
    return text.simplified();
}

QStringList nonEmptyLines(const QString& page)
{
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines;
}

// Every item a person sees in the menu, and in the menus it opens, without access-key marks.
void collectItems(const QList<QAction*>& actions, QStringList& items)
{
    for (QAction* action : actions) {
        if (action->isSeparator() || !action->isVisible() || action->text().isEmpty())
            continue;
        items << QString(action->text()).remove(QLatin1Char('&'));
        if (QMenu* menu = action->menu())
            collectItems(menu->actions(), items);
    }
}

class Manual : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        if (underThreadSanitizer)
            GTEST_SKIP() << cannotStartPrograms;
        ASSERT_TRUE(folder_.isValid());
        pdf_ = folder_.filePath(QStringLiteral("Lentaro Manual.pdf"));
        const Ran made = makeManual(pdf_, chapterFiles());
        ASSERT_EQ(made.exitCode, 0) << made.errors.toStdString();
    }

    // The text of each page, as pdftotext lays it out.
    QStringList pages() const
    {
        const Ran text = runTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-layout"), pdf_, QStringLiteral("-")});
        EXPECT_EQ(text.exitCode, 0) << text.errors.toStdString();
        QStringList pages = text.out.split(QLatin1Char('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }

    QTemporaryDir folder_;
    QString pdf_;
};

TEST_F(Manual, OpensWithItsContentsTellingThePageOfEveryChapterAndEveryPageNumbered)
{
    const Ran info = runTool(QStringLiteral("pdfinfo"), {pdf_});
    ASSERT_EQ(info.exitCode, 0) << info.errors.toStdString();
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("^Title:\\s+Lentaro Manual$"),
                                                     QRegularExpression::MultilineOption)))
        << info.out.toStdString();

    const QStringList text = pages();
    ASSERT_GE(text.size(), 3);
    ASSERT_EQ(nonEmptyLines(text[1]).value(0), QStringLiteral("Contents"));
    // The contents run from page 2 up to the first chapter.
    QString contents;
    for (const QString& page : text) {
        if (nonEmptyLines(page).value(0) == chapterTitles.first())
            break;
        contents += page;
    }
    for (const QString& title : chapterTitles) {
        SCOPED_TRACE(title.toStdString());
        const QRegularExpressionMatch entry =
            QRegularExpression(QStringLiteral("^\\s*") + QRegularExpression::escape(title)
                                   + QStringLiteral("\\s+(\\d+)\\s*$"),
                               QRegularExpression::MultilineOption)
                .match(contents);
        ASSERT_TRUE(entry.hasMatch()) << contents.toStdString();
        const int page = entry.captured(1).toInt();
        ASSERT_GE(page, 3);
        ASSERT_LE(page, text.size());
        EXPECT_EQ(nonEmptyLines(text[page - 1]).value(0), title);
    }
    for (int page = 2; page <= text.size(); ++page) {
        const QStringList lines = nonEmptyLines(text[page - 1]);
        EXPECT_EQ(lines.isEmpty() ? QString() : lines.last(), QString::number(page)) << page;
    }
    EXPECT_FALSE(nonEmptyLines(text[0]).contains(QStringLiteral("1")));
}

TEST_F(Manual, HoldsEveryPictureItsChaptersShow)
{
    int named = 0;
    for (const QString& chapter : chapterFiles()) {
        QFile file(chapter);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << chapter.toStdString();
        named += int(QString::fromUtf8(file.readAll()).count(QStringLiteral("](pictures/")));
    }
    ASSERT_GT(named, 0);
    const Ran images = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf_});
    ASSERT_EQ(images.exitCode, 0) << images.errors.toStdString();
    // Two heading lines, then one line an image.
    EXPECT_EQ(nonEmptyLines(images.out).size() - 2, named) << images.out.toStdString();
}

TEST_F(Manual, NamesEveryItemOfTheMainWindowsMenus)
{
    frmMain& main = started();
    QStringList items;
    collectItems(main.menuBar()->actions(), items);
    ASSERT_TRUE(items.contains(QStringLiteral("Help and Tutorial")));

    const Ran text = runTool(QStringLiteral("pdftotext"), {pdf_, QStringLiteral("-")});
    ASSERT_EQ(text.exitCode, 0) << text.errors.toStdString();
    const QString manual = searchable(text.out);
    QStringList missing;
    for (const QString& item : items) {
        if (!manual.contains(item))
            missing << item;
    }
    EXPECT_EQ(missing, QStringList());
}

// A chapter the maker cannot use is named with what is wrong with it, and the manual made
// before stays as it was, with no part of a new one beside it.
TEST(ManualMaker, NamesAChapterItCannotUseAndLeavesTheEarlierManual)
{
    if (underThreadSanitizer)
        GTEST_SKIP() << cannotStartPrograms;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto write = [&](const QString& name, const QByteArray& text) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    const QString noPicture = write(QStringLiteral("no-picture.md"),
                                    "# Scales\n\n![A fretboard](pictures/fretboard.png)\n");
    const QString noTitle = write(QStringLiteral("no-title.md"), "Practise slowly.\n");
    const QString missing = folder.filePath(QStringLiteral("missing.md"));
    const struct {
        const char* what;
        QString chapter;
        QString said;
    } cases[] = {
        {"a picture that is not there", noPicture,
         QStringLiteral("the picture ") + folder.filePath(QStringLiteral("pictures/fretboard.png"))
             + QStringLiteral(" cannot be read")},
        {"a chapter without its title", noTitle,
         QStringLiteral("the chapter ") + noTitle
             + QStringLiteral(" does not begin with its title")},
        {"a chapter that is not there", missing,
         QStringLiteral("the chapter ") + missing + QStringLiteral(" cannot be read")},
    };
    const QString output = write(QStringLiteral("Lentaro Manual.pdf"), "%PDF- the manual before");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Ran made = makeManual(output, {chapterFiles().first(), c.chapter});
        EXPECT_EQ(made.exitCode, 1);
        // Qt's own warnings may come before it.
        EXPECT_EQ(nonEmptyLines(made.errors)
                      .filter(QRegularExpression(QStringLiteral("^lentaro_makemanual: "))),
                  QStringList{QStringLiteral("lentaro_makemanual: ") + c.said});
        QFile earlier(output);
        ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
        EXPECT_EQ(earlier.readAll(), QByteArray("%PDF- the manual before"));
        EXPECT_FALSE(QFile::exists(output + QStringLiteral(".partial")));
    }
}

} // namespace
} // namespace lentaro::test
