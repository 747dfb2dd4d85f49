#include "tests/app/app_fixture.h"
#include "tests/app/test_database.h"

#include "app/schemaupgrade.h"
#include "app/shippedfiles.h"
#include "app/sqlscript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace lentaro::test {
namespace {

class SchemaTemplate : public AppTest
{
protected:
    QString templatePath() const { return shippedFolder() + QStringLiteral("/lentaro.mdb"); }
};

TEST_F(SchemaTemplate, IsFoundBesideTheExecutablesFolder)
{
    EXPECT_EQ(shippedFolder(),
              QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/lentaro"));
    EXPECT_TRUE(QFile::exists(templatePath())) << templatePath().toStdString();
}

TEST_F(SchemaTemplate, HoldsTheFiveTablesWithTheirFields)
{
    TestDatabase db(templatePath());
    EXPECT_EQ(db.rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                      "'sqlite_%' ORDER BY name"),
              (QStringList{"CDs", "LoopPoints", "Tracks", "Wave Files", "WaveLoopPoints"}));

    const std::pair<const char*, QStringList> tables[] = {
        {"CDs",
         {"CDid INTEGER -", "Title TEXT -", "Artist TEXT -", "cdlen INTEGER -",
          "numTracks INTEGER -", "track1Len INTEGER -", "lastTrackIDSelected INTEGER 0",
          "lastLoopSelected INTEGER 0"}},
        {"Tracks",
         {"rowKey INTEGER -", "CDid INTEGER -", "TrackNum INTEGER -", "TrackName TEXT -",
          "Comments TEXT -", "Rating TEXT -", "lastPitchChange INTEGER 0", "WAV TEXT -",
          "Notation TEXT -"}},
        {"LoopPoints",
         {"rowKey INTEGER -", "CDid INTEGER -", "TrackNum INTEGER -", "startTime INTEGER -",
          "endTime INTEGER -", "Comment TEXT -", "chords TEXT -", "lyrics TEXT -", "WAV TEXT -",
          "Notation TEXT -", "lastPct INTEGER 50", "lastSelStart INTEGER 0", "lastSelEnd INTEGER 0",
          "lastGridStart INTEGER 0", "lastGridWidth INTEGER 0", "gridVisible INTEGER 0"}},
        {"Wave Files",
         {"waveFileID INTEGER -", "waveFilePath TEXT -", "waveFileName TEXT -",
          "waveDataLength INTEGER -", "waveFileModDate DATETIME -", "lastPitchChange INTEGER 0"}},
        {"WaveLoopPoints",
         {"rowKey INTEGER -", "waveFileID INTEGER -", "startTime INTEGER -", "endTime INTEGER -",
          "Comment TEXT -", "chords TEXT -", "lyrics TEXT -", "lastPct INTEGER 50",
          "lastSelStart INTEGER 0", "lastSelEnd INTEGER 0", "lastGridStart INTEGER 0",
          "lastGridWidth INTEGER 0", "gridVisible INTEGER 0"}},
    };
    for (const auto& [table, fields] : tables)
        EXPECT_EQ(db.fields(table), fields) << table;
}

TEST_F(SchemaTemplate, HoldsOnlyTheNoCdRow)
{
    TestDatabase db(templatePath());
    EXPECT_EQ(db.rows("SELECT CDid, cdlen, track1Len FROM CDs"), QStringList{"1|0|0"});
    for (const char* table : {"Tracks", "LoopPoints", "\"Wave Files\"", "WaveLoopPoints"})
        EXPECT_EQ(db.value(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt(), 0)
            << table;
}

TEST_F(SchemaTemplate, CdIdsAreNeverReused)
{
    // Track and loop rows refer to their CD by id; a deleted CD's id must not come back.
    ASSERT_TRUE(QFile::copy(templatePath(), path("lentaro.mdb")));
    TestDatabase db(path("lentaro.mdb"));
    db.run("INSERT INTO CDs (Title) VALUES ('a'); DELETE FROM CDs WHERE CDid = 2; "
           "INSERT INTO CDs (Title) VALUES ('b')");
    EXPECT_EQ(db.value("SELECT CDid FROM CDs WHERE Title = 'b'").toInt(), 3);
}

TEST_F(SchemaTemplate, IsCurrentSoTheUpgradeChangesNothing)
{
    ASSERT_TRUE(QFile::copy(templatePath(), path("lentaro.mdb")));
    QFile::setPermissions(path("lentaro.mdb"),
                          QFile::permissions(path("lentaro.mdb")) | QFileDevice::WriteOwner);
    QStringList before;
    {
        TestDatabase db(path("lentaro.mdb"));
        before = db.dump();
    }
    EXPECT_TRUE(AppendNewFields());
    EXPECT_TRUE(shownMessages().isEmpty());
    TestDatabase db(path("lentaro.mdb"));
    EXPECT_EQ(db.dump(), before);
}

TEST(SqlStatements, SplitsAtSemicolonsOutsideQuotesAndComments)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"SELECT 1; SELECT 2;", {"SELECT 1", "SELECT 2"}},
        {"SELECT 1", {"SELECT 1"}},
        {"  ;; \n ;", {}},
        {"SELECT 'a;b'; SELECT 'it''s;'", {"SELECT 'a;b'", "SELECT 'it''s;'"}},
        {"CREATE TABLE \"x;y\" (a); SELECT 2", {"CREATE TABLE \"x;y\" (a)", "SELECT 2"}},
        {"-- a; comment\nSELECT 1; /* b; c */ SELECT 2", {"SELECT 1", "SELECT 2"}},
        {"SELECT 1 -- trailing; remark", {"SELECT 1"}},
        {"SELECT '--not a comment'", {"SELECT '--not a comment'"}},
    };
    for (const auto& [script, statements] : cases)
        EXPECT_EQ(sqlStatements(QString::fromUtf8(script)), statements) << script;
}

} // namespace
} // namespace lentaro::test
