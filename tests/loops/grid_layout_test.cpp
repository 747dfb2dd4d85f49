#include "tests/app/app_fixture.h"

#include "app/shippedfiles.h"
#include "loops/gridLayout.h"
#include "trace/runtimeerror.h"

#include <QDir>

namespace lentaro::test {
namespace {

class GridLayouts : public AppTest
{
protected:
    // The captions of a layout's columns, "caption width r/e" each.
    static QStringList columns(const GridLayout& layout)
    {
        QStringList texts;
        for (const GridLayout::Column& c : layout.columns)
            texts << QStringLiteral("%1 %2 %3 %4")
                         .arg(c.field, c.caption)
                         .arg(c.width)
                         .arg(c.readOnly ? QLatin1Char('r') : QLatin1Char('e'));
        return texts;
    }
};

TEST_F(GridLayouts, AFileGivesItsNameFontAndColumnsInOrder)
{
    writeFile(QStringLiteral("view.grx"), "# a comment\n\nlayout: view\nfont: Serif|12.5\n"
                                          "column: startTime|Start (ms)|70|read-only\n"
                                          "column:  lyrics | Lyrics | 200 | editable \n");
    const GridLayout layout =
        readGridLayout(path(QStringLiteral("view.grx")), QStringLiteral("view"));
    EXPECT_EQ(layout.name, "view");
    EXPECT_EQ(layout.fontFamily, "Serif");
    EXPECT_EQ(layout.fontPointSize, 12.5);
    EXPECT_EQ(columns(layout), QStringList({"startTime Start (ms) 70 r", "lyrics Lyrics 200 e"}));
}

TEST_F(GridLayouts, AMissingOrDamagedFileIsAnErrorSayingWhere)
{
    struct Case {
        const char* name;
        QByteArray text; // empty: no file
        int error;
    };
    const Case cases[] = {
        {"no file", {}, 53},
        {"another layout", "layout: detail\ncolumn: Comment|C|10|editable\n", 3273},
        {"no layout line", "column: Comment|C|10|editable\n", 3273},
        {"no columns", "layout: view\nfont: |8.25\n", 3273},
        {"a line without a key", "layout: view\nComment|C|10|editable\n", 3273},
        {"an unknown key", "layout: view\ncolour: red\ncolumn: Comment|C|10|editable\n", 3273},
        {"a width of 0", "layout: view\ncolumn: Comment|C|0|editable\n", 3273},
        {"a width that is no number", "layout: view\ncolumn: Comment|C|wide|editable\n", 3273},
        {"three parts", "layout: view\ncolumn: Comment|C|10\n", 3273},
        {"neither read-only nor editable", "layout: view\ncolumn: Comment|C|10|maybe\n", 3273},
        {"a font without a size", "layout: view\nfont: Serif\ncolumn: Comment|C|10|editable\n",
         3273},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path(QStringLiteral("view.grx")));
        if (!c.text.isEmpty())
            writeFile(QStringLiteral("view.grx"), c.text);
        try {
            readGridLayout(path(QStringLiteral("view.grx")), QStringLiteral("view"));
            ADD_FAILURE() << "read";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), c.error);
            EXPECT_TRUE(error.description().contains(QStringLiteral("view.grx")));
        }
    }
}

// The shipped views: track and start read-only at the left, then what each view is for.
TEST_F(GridLayouts, TheShippedViewsShowWhatEachIsFor)
{
    struct Case {
        const char* file;
        const char* name;
        double points;
        QStringList fields;
    };
    const Case cases[] = {
        {"smallvw.grx", "smallvw", 8.25, {"TrackNum r", "startTime r", "Comment e"}},
        {"detail.grx",
         "detail",
         8.25,
         {"TrackNum r", "startTime r", "endTime r", "Comment e", "chords e", "lyrics e"}},
        {"biglyric.grx", "biglyric", 16, {"TrackNum r", "startTime r", "chords e", "lyrics e"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const GridLayout layout =
            readGridLayout(QDir(shippedFolder()).filePath(QString::fromLatin1(c.file)),
                           QString::fromLatin1(c.name));
        QStringList fields;
        for (const GridLayout::Column& column : layout.columns)
            fields << column.field
                          + (column.readOnly ? QStringLiteral(" r") : QStringLiteral(" e"));
        EXPECT_EQ(fields, c.fields);
        EXPECT_EQ(layout.fontPointSize, c.points);
    }
}

} // namespace
} // namespace lentaro::test
