#include "tests/app/app_fixture.h"

#include "app/utilities.h"

#include <QDateTime>
#include <QStringList>

namespace lentaro::test {
namespace {

class Utilities : public AppTest
{};

TEST_F(Utilities, PathsSplitAtTheirLastSlash)
{
    struct Case {
        const char* source;
        const char* path;     // extractPathFromFullPath
        const char* filename; // extractFilenameFromFullPath
        const char* folder;   // parsePath's pathStr
        const char* name;     // parsePath's nameStr
    };
    const Case cases[] = {
        {"/home/ann/b.wav", "/home/ann/", "b.wav", "/home/ann", "b.wav"},
        {"/b.wav", "/", "b.wav", "", "b.wav"},
        {"b.wav", "", "b.wav", "", "b.wav"},
        {"/music/", "/music/", "", "/music", ""},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const QString source = QString::fromUtf8(c.source);
        EXPECT_EQ(extractPathFromFullPath(source), QString::fromUtf8(c.path));
        EXPECT_EQ(extractFilenameFromFullPath(source), QString::fromUtf8(c.filename));
        QString folder = QStringLiteral("stale");
        QString name = QStringLiteral("stale");
        parsePath(source, folder, name);
        EXPECT_EQ(folder, QString::fromUtf8(c.folder));
        EXPECT_EQ(name, QString::fromUtf8(c.name));
    }
}

TEST_F(Utilities, ExtensionsAndLastPositions)
{
    const std::pair<const char*, const char*> extensions[] = {
        {"b.wav", "wav"},  {"noext", ""},         {"song.tar.gz", "gz"},
        {"trailing.", ""}, {".hidden", "hidden"},
    };
    for (const auto& [source, extension] : extensions)
        EXPECT_EQ(extractExtensionFromFilename(QString::fromUtf8(source)),
                  QString::fromUtf8(extension))
            << source;

    struct Position {
        const char* source;
        const char* searchChars;
        const char* position;
    };
    const Position positions[] = {
        {"a.b.c", ".", "4"}, {"abc", "xy", "0"},      {"a\\b/c", "\\/", "4"}, {"", ".", "0"},
        {"abc", "", "0"},    {"Grüße.wav", ".", "6"}, {"aA", "a", "1"}, // exact comparison
    };
    for (const Position& p : positions)
        EXPECT_EQ(instrRev(QString::fromUtf8(p.source), QString::fromUtf8(p.searchChars)),
                  QString::fromUtf8(p.position))
            << p.source;
}

TEST_F(Utilities, SplitStrFillsTheFieldsItHasAndSaysWhetherAllFitted)
{
    struct Case {
        const char* source;
        const char* delimiters;
        int fields;
        QStringList expected;
        bool fitted;
    };
    const Case cases[] = {
        {",,a,,b", ",", 2, {"a", "b"}, true},
        {",,a,,b", ",", 1, {"a"}, false},
        {"a b;c", " ;", 3, {"a", "b", "c"}, true},
        {"a,b,", ",", 3, {"a", "b", ""}, true},
        {"", ",", 2, {"", ""}, true},
        {"x", ",", 0, {}, false},
        {",,,", ",", 0, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        QStringList fields;
        for (int i = 0; i < c.fields; ++i)
            fields << QStringLiteral("stale");
        EXPECT_EQ(splitStr(QString::fromUtf8(c.source), QString::fromUtf8(c.delimiters), fields),
                  c.fitted);
        EXPECT_EQ(fields, c.expected);
    }
}

TEST_F(Utilities, AsciiIsTheCodeOfTheFirstCharacter)
{
    EXPECT_EQ(Ascii(QString()), 0);
    EXPECT_EQ(Ascii(QStringLiteral("A")), 65);
    EXPECT_EQ(Ascii(QStringLiteral("abc")), 97);
    EXPECT_EQ(Ascii(QStringLiteral("é")), 0xE9);
    EXPECT_EQ(Ascii(QStringLiteral("\U0001D11E clef")), 0x1D11E);
}

TEST_F(Utilities, MinAndMaxOfComparableValuesAndNullOfOthers)
{
    struct Case {
        const char* what;
        QVariant a;
        QVariant b;
        QVariant min;
        QVariant max;
    };
    const QVariant null;
    const QDateTime when = QDateTime::fromSecsSinceEpoch(0);
    const Case cases[] = {
        {"numbers", 3, 5, 3, 5},
        {"reversed", 5, 3, 3, 5},
        {"equal", 4, 4, 4, 4},
        {"whole and fraction", 2, 1.5, 1.5, 2},
        {"texts", QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("a"),
         QStringLiteral("b")},
        {"letter case", QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("B"),
         QStringLiteral("a")},
        {"list and number", QStringList{QStringLiteral("x")}, 1, null, null},
        {"time and number", when, 1, null, null},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QVariant min = mathMin(c.a, c.b);
        const QVariant max = mathMax(c.a, c.b);
        EXPECT_EQ(min.isValid(), c.min.isValid());
        EXPECT_EQ(max.isValid(), c.max.isValid());
        if (c.min.isValid()) {
            EXPECT_EQ(min, c.min);
            EXPECT_EQ(max, c.max);
        }
    }
    EXPECT_EQ(trappedError(), 0);
}

} // namespace
} // namespace lentaro::test
