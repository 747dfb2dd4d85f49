#include "tests/app/app_fixture.h"
#include "tests/app/old_database.h"
#include "tests/app/test_database.h"
#include "tests/program/program_process.h"
#include "tests/support/sanitizers.h"

#include "app/dbversion.h"
#include "app/shippedfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <sys/stat.h>

#include <functional>

namespace lentaro::test {

namespace {

// What the program's template database holds, for the damaged copies.
QByteArray templateDatabase()
{
    QFile file(shippedFolder() + QStringLiteral("/lentaro.mdb"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// lentaro.mdb as it is on disk: its kind, where a link leads, its bytes.
QString described(const QString& path)
{
    const QFileInfo file(path);
    if (file.isSymLink())
        return QStringLiteral("link to ") + file.symLinkTarget();
    if (file.isDir())
        return QStringLiteral("folder");
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode))
        return QStringLiteral("pipe");
    QFile bytes(path);
    if (!bytes.open(QIODevice::ReadOnly))
        return QStringLiteral("unreadable");
    return QStringLiteral("file ") + QString::fromLatin1(bytes.readAll().toHex());
}

} // namespace

// The program started as a person starts it, in a process of its own, on a lentaro.mdb that a
// damaged disk, another program or a slip left in the program folder: at a first start (the
// schema upgrade opens it) and at a later one (the main window's data controls do). It says the
// file failed to open and what is wrong with it, takes the splash down and ends; the file is
// left as it was.
class DamagedDatabase : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        if (underThreadSanitizer)
            GTEST_SKIP() << cannotStartPrograms;
        // An intercepted error is written to error.log instead of waiting in its dialog.
        writeFile("SXCLIENT.INI", "[preferences]\nSilent Run=1\n[log file]\nWrite To Disk=1\n");
        database_ = path(QStringLiteral("lentaro.mdb"));
        shipped_ = templateDatabase();
        ASSERT_FALSE(shipped_.isEmpty());
    }

    void writeDatabase(const QByteArray& bytes) { writeFile("lentaro.mdb", bytes); }
    void makeTables(const QString& script)
    {
        TestDatabase db(database_);
        db.run(script);
    }

    QString database_;
    QByteArray shipped_;
};

TEST_F(DamagedDatabase, IsNamedWithWhatIsWrongAndLeftAsItWasAtTheFirstStartAndLater)
{
    struct Case {
        const char* name;
        std::function<void()> make;
        QString reason;
        // Held by another program for longer than the program waits for a lock.
        bool locked = false;
    };
    const Case cases[] = {
        {"garbage",
         [&] { writeDatabase(QByteArray("\x13\x8e\xf2 not a database \x01", 20).repeated(500)); },
         QStringLiteral("File is not a database.")},
        {"cut short", [&] { writeDatabase(shipped_.left(shipped_.size() / 2)); },
         QStringLiteral("Database disk image is malformed.")},
        {"zero-filled", [&] { writeDatabase(QByteArray(shipped_.size(), '\0')); },
         QStringLiteral("File is not a database.")},
        {"empty", [&] { writeDatabase(QByteArray()); }, QStringLiteral("The file is empty.")},
        {"link to /dev/null", [&] { ASSERT_TRUE(QFile::link("/dev/null", database_)); },
         QStringLiteral("Not a regular file but a named pipe, a device or a socket.")},
        {"without the program's tables",
         [&] { makeTables(QStringLiteral("CREATE TABLE Songs (name TEXT);")); },
         QStringLiteral("The database has no table CDs.")},
        {"a table without its field",
         [&] {
             QString tables = version6.left(version6.indexOf(QStringLiteral("INSERT")));
             makeTables(tables.replace(QStringLiteral("TrackNum INTEGER, TrackName"),
                                       QStringLiteral("TrackName")));
         },
         QStringLiteral("The table Tracks has no field TrackNum.")},
        {"locked by another program", [&] { writeDatabase(shipped_); },
         QStringLiteral("The database is locked by another program that is changing it."), true},
        {"a folder", [&] { ASSERT_TRUE(QDir().mkdir(database_)); },
         QStringLiteral("Not a file but a folder.")},
        {"a named pipe",
         [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(database_).constData(), 0644), 0); },
         QStringLiteral("Not a regular file but a named pipe, a device or a socket.")},
    };
    const QString told = QStringLiteral("Please inform the programmer that file ") + database_
                         + QStringLiteral(" failed to open. Error is ");
    for (const Case& c : cases) {
        for (const bool later : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (later ? ", a later start" : ", the first start"));
            QFile::remove(database_);
            QDir(database_).removeRecursively();
            QFile::remove(path(QStringLiteral("error.log")));
            // "N/A" reads as never stored: the first start upgrades the schema.
            writeDbVersion(later ? QStringLiteral("7") : QStringLiteral("N/A"));
            c.make();
            const QString before = described(database_);
            // Taken after the look at the file: closing any other handle on the file would
            // drop this process's locks on it.
            QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
            if (c.locked) {
                holder.setDatabaseName(database_);
                ASSERT_TRUE(holder.open());
                ASSERT_TRUE(QSqlQuery(holder).exec(QStringLiteral("BEGIN EXCLUSIVE")));
            }

            ProgramProcess program;
            program.start();
            ASSERT_TRUE(program.waitForEnd(60000))
                << "still running after telling: " << program.told().join('\n').toStdString();

            if (holder.isOpen()) {
                QSqlQuery(holder).exec(QStringLiteral("ROLLBACK"));
                holder.close();
            }
            holder = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("holder"));

            EXPECT_TRUE(program.endedCleanly()) << program.errors().toStdString();
            EXPECT_EQ(program.boxes(), QStringList{told + c.reason});
            EXPECT_TRUE(program.told().contains(QStringLiteral("shown: frmAbout")));
            EXPECT_EQ(program.windowsUp(), QStringList());
            EXPECT_FALSE(program.told().contains(QStringLiteral("shown: frmMain")));
            EXPECT_EQ(described(database_), before);
            for (const char* beside : {"-journal", "-wal", "-shm"})
                EXPECT_FALSE(QFileInfo::exists(database_ + QLatin1String(beside))) << beside;
            EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("error.log"))))
                << readFile(QStringLiteral("error.log")).toStdString();
            EXPECT_EQ(readDbVersion(), later ? QStringLiteral("7") : QStringLiteral("N/A"));
        }
    }
}

} // namespace lentaro::test
