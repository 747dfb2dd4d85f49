#include "tests/app/app_fixture.h"
#include "tests/app/old_database.h"
#include "tests/app/test_database.h"

#include "app/dbversion.h"
#include "app/exitprogram.h"
#include "app/programstate.h"
#include "app/schemaupgrade.h"
#include "platform/registry/Registry.h"

#include <QFile>

namespace lentaro::test {
namespace {

class SchemaUpgrade : public AppTest
{
protected:
    QString database() const { return path(QStringLiteral("lentaro.mdb")); }

    void makeVersion6(const QString& extra = {})
    {
        TestDatabase db(database());
        db.run(version6 + extra);
    }
};

TEST_F(SchemaUpgrade, GivesEveryNewFieldWithItsDefaultAndFillsExistingRows)
{
    makeVersion6();
    ASSERT_TRUE(AppendNewFields());
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_EQ(lastError().number, 0);

    TestDatabase db(database());
    const QStringList loopFields = {"endTime INTEGER -",       "lastPct INTEGER 50",
                                    "lastSelStart INTEGER 0",  "lastSelEnd INTEGER 0",
                                    "lastGridStart INTEGER 0", "lastGridWidth INTEGER 0",
                                    "gridVisible INTEGER 0"};
    for (const QString& table : {QStringLiteral("LoopPoints"), QStringLiteral("WaveLoopPoints")}) {
        const QStringList fields = db.fields(table);
        for (const QString& field : loopFields)
            EXPECT_TRUE(fields.contains(field))
                << table.toStdString() << ": " << field.toStdString();
    }
    EXPECT_TRUE(db.fields("CDs").contains("lastTrackIDSelected INTEGER 0"));
    EXPECT_TRUE(db.fields("CDs").contains("lastLoopSelected INTEGER 0"));
    EXPECT_TRUE(db.fields("Tracks").contains("lastPitchChange INTEGER 0"));
    EXPECT_TRUE(db.fields("Wave Files").contains("lastPitchChange INTEGER 0"));

    // Rows from before the upgrade read the defaults, not Null.
    EXPECT_EQ(db.rows("SELECT endTime, lastPct, lastSelStart, lastSelEnd, lastGridStart, "
                      "lastGridWidth, gridVisible FROM WaveLoopPoints"),
              QStringList{"<null>|50|0|0|0|0|0"});
    EXPECT_EQ(db.rows("SELECT lastTrackIDSelected, lastLoopSelected FROM CDs WHERE CDid = 2"),
              QStringList{"0|0"});
    // Old fields keep what they held.
    EXPECT_EQ(db.rows("SELECT CDid, TrackNum, startTime, Comment, chords FROM LoopPoints"),
              QStringList{"2|1|61000|head|Eb7"});
}

TEST_F(SchemaUpgrade, KeepsTheContentsOfConvertedFields)
{
    makeVersion6();
    ASSERT_TRUE(AppendNewFields());

    TestDatabase db(database());
    for (const QString& table : {QStringLiteral("Tracks"), QStringLiteral("LoopPoints")}) {
        const QStringList fields = db.fields(table);
        EXPECT_TRUE(fields.contains("WAV TEXT -")) << table.toStdString();
        EXPECT_TRUE(fields.contains("Notation TEXT -")) << table.toStdString();
    }
    // UTF-8 text stays that text; an empty value stays empty, Null stays Null.
    EXPECT_EQ(db.rows("SELECT TrackNum, typeof(WAV), WAV, typeof(Notation), Notation FROM Tracks "
                      "ORDER BY TrackNum"),
              (QStringList{QStringLiteral("1|null|<null>|text|/notes/\u00e9.pdf"),
                           "2|text||null|<null>"}));
    // Bytes that are no UTF-8 become one character each, so every byte can be had back.
    const QVariant wav = db.value("SELECT WAV FROM LoopPoints");
    EXPECT_EQ(wav.toString().toLatin1(), QByteArray::fromHex("52494646FF00C9"));
    EXPECT_EQ(db.value("SELECT typeof(WAV) FROM LoopPoints").toString(), "text");
}

TEST_F(SchemaUpgrade, RunningTwiceEqualsRunningOnce)
{
    makeVersion6();
    ASSERT_TRUE(AppendNewFields());
    QStringList once;
    {
        TestDatabase db(database());
        once = db.dump();
    }
    ASSERT_TRUE(AppendNewFields());
    TestDatabase db(database());
    EXPECT_EQ(db.dump(), once);
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(SchemaUpgrade, LeavesExistingFieldsAsTheyAre)
{
    // A field that is there already keeps its type, default and contents: here a lastPct of
    // another type and a Notation that is memo already.
    QString older = version6;
    older.replace(QStringLiteral("lyrics TEXT, WAV BLOB, Notation BLOB"),
                  QStringLiteral("lyrics TEXT, WAV BLOB, Notation TEXT"));
    {
        TestDatabase db(database());
        db.run(older
               + QStringLiteral("; ALTER TABLE LoopPoints ADD COLUMN lastPct TEXT DEFAULT 'fast'"
                                "; UPDATE LoopPoints SET lastPct = 'slow', Notation = 'bar 12'"));
    }
    ASSERT_TRUE(AppendNewFields());
    TestDatabase db(database());
    EXPECT_TRUE(db.fields("LoopPoints").contains("lastPct TEXT 'fast'"));
    EXPECT_EQ(db.rows("SELECT lastPct, Notation FROM LoopPoints"), QStringList{"slow|bar 12"});
}

TEST_F(SchemaUpgrade, ReadOnlyDatabaseIsLeftAloneAndNotMarkedCurrent)
{
    makeVersion6();
    const QByteArray before = readFile("lentaro.mdb");
    ASSERT_TRUE(QFile::setPermissions(database(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));

    EXPECT_FALSE(upgradeSchemaIfOld());

    EXPECT_EQ(shownMessages(), QStringList{"TableDef not Updatable! Unable to complete task."});
    EXPECT_EQ(readDbVersion(), "N/A");
    EXPECT_EQ(readFile("lentaro.mdb"), before);
    EXPECT_EQ(quits_, 0);
}

TEST_F(SchemaUpgrade, FailedStepUndoesTheWholeUpgrade)
{
    // WaveLoopPoints as a view takes no new field, so the upgrade cannot finish: the fields
    // added before the failing step must go again, and the version must not be stored.
    makeVersion6(QStringLiteral("; DROP TABLE WaveLoopPoints; CREATE VIEW WaveLoopPoints AS "
                                "SELECT waveFileID, startTime, Comment, chords, lyrics FROM "
                                "LoopPoints, \"Wave Files\""));
    QStringList before;
    {
        TestDatabase db(database());
        before = db.dump();
    }

    EXPECT_FALSE(upgradeSchemaIfOld());

    TestDatabase db(database());
    EXPECT_EQ(db.dump(), before);
    EXPECT_EQ(readDbVersion(), "N/A");
    EXPECT_EQ(lastError().number, 3000);
    EXPECT_TRUE(lastError().description.contains("view")) << lastError().description.toStdString();
}

TEST_F(SchemaUpgrade, DatabaseThatCannotBeOpenedIsReportedAndEndsTheProgram)
{
    struct Case {
        const char* name;
        QByteArray contents; // null: no file at all
        QString reason;
    };
    const Case cases[] = {
        {"missing", QByteArray(), QStringLiteral(" Error is File not found")},
        {"no database", QByteArray("this is a text file, not a database\n").repeated(40),
         QStringLiteral(" Error is ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(database());
        if (!c.contents.isNull())
            writeFile("lentaro.mdb", c.contents);
        prompts_ = forms::ScriptedPrompts();
        quits_ = 0;
        programState().gvExiting = false;

        EXPECT_FALSE(upgradeSchemaIfOld());

        ASSERT_EQ(shownMessages().size(), 1);
        const QString expected = QStringLiteral("Please inform the programmer that file ") + home()
                                 + QStringLiteral("/lentaro.mdb failed to open.") + c.reason;
        EXPECT_TRUE(shownMessages()[0].startsWith(expected)) << shownMessages()[0].toStdString();
        EXPECT_EQ(quits_, 1);
        EXPECT_EQ(readDbVersion(), "N/A");
        // Opening never makes a database, nor touches a file that is none.
        EXPECT_EQ(readFile("lentaro.mdb"), c.contents);
        EXPECT_EQ(QFile::exists(database()), !c.contents.isNull());
    }
}

TEST_F(SchemaUpgrade, RunsOnlyWhenTheStoredVersionIsBelowSeven)
{
    struct Case {
        const char* stored; // nullptr: never stored
        bool runs;
    };
    const Case cases[] = {
        {nullptr, true}, {"", true},   {"N/A", true},  {"6", true},
        {"6.9", true},   {"7", false}, {"7.5", false}, {"12 apples", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(unset)");
        QFile::remove(database());
        makeVersion6();
        registry::deleteKey(registry::RootKey::CurrentUser,
                            "Software\\VB and VBA Program Settings");
        if (c.stored)
            writeDbVersion(QString::fromUtf8(c.stored));

        EXPECT_TRUE(upgradeSchemaIfOld());

        TestDatabase db(database());
        EXPECT_EQ(db.fields("CDs").contains("lastLoopSelected INTEGER 0"), c.runs);
        if (c.runs)
            EXPECT_EQ(readDbVersion(), "7");
        else
            EXPECT_EQ(readDbVersion(), QString::fromUtf8(c.stored));
    }
}

TEST_F(SchemaUpgrade, StoresTheVersionAsThePreferencesStoreTheirValues)
{
    makeVersion6();
    ASSERT_TRUE(upgradeSchemaIfOld());
    registry::Value value;
    ASSERT_TRUE(registry::getValue(registry::RootKey::CurrentUser,
                                   "Software\\VB and VBA Program Settings\\Lentaro\\Preferences",
                                   "dbVersion", value)
                    .ok());
    EXPECT_EQ(value, registry::Value::binary(std::string_view("7")));
}

} // namespace
} // namespace lentaro::test
