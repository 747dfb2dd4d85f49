// Build step: makes the database the program ships with from its schema script.
//
//     lentaro_makedb <schema.sql> <lentaro.mdb>
//
// The file is built under a temporary name and renamed into place only when every statement
// ran, so a failed build never leaves a half-made database that looks finished.

#include "app/sqlscript.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "lentaro_makedb: %s\n", qPrintable(message));
    return 1;
}

QString build(const QString& script, const QString& path)
{
    const QString connection = QStringLiteral("makedb");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            db.transaction();
            error = lentaro::runSqlScript(db, script);
            if (error.isEmpty() && !db.commit())
                error = db.lastError().text();
            if (!error.isEmpty())
                db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("usage: lentaro_makedb <schema.sql> <database>"));

    QFile scriptFile(args[1]);
    if (!scriptFile.open(QIODevice::ReadOnly))
        return fail(args[1] + QStringLiteral(": ") + scriptFile.errorString());
    const QString script = QString::fromUtf8(scriptFile.readAll());

    const QString target = args[2];
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    const QString error = build(script, partial);
    if (!error.isEmpty()) {
        QFile::remove(partial);
        return fail(args[1] + QStringLiteral(": ") + error);
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target))
        return fail(QStringLiteral("cannot rename ") + partial + QStringLiteral(" to ") + target);
    return 0;
}
