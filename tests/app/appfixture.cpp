#include "appfixture.h"

#include "app/exitprogram.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace lentaro::test {

void AppTest::SetUp()
{
    ASSERT_TRUE(home_.isValid());
    ASSERT_TRUE(registry_.isValid());
    previousHome_ = qgetenv("LENTARO_HOME");
    previousRegistry_ = qgetenv("LENTARO_REGISTRY_DIR");
    qputenv("LENTARO_HOME", home_.path().toUtf8());
    qputenv("LENTARO_REGISTRY_DIR", registry_.path().toUtf8());

    TraceEnvironment environment = TraceEnvironment::fromSystem();
    environment.programFolder = home_.path();
    environment.executableName = QStringLiteral("Lentaro");
    environment.developmentEnvironment = false;
    environment.monitorFolder = home_.path();
    runtime_ = std::make_unique<TraceRuntime>(std::move(environment));
    runtime_->setMessageBoxes(&boxes_);
    previousRuntime_ = TraceRuntime::makeCurrent(runtime_.get());
    previousPrompt_ = setMessagePrompt(&prompt_);

    gvExiting = false;
    gvDeleteTempFiles = false;
    setExitEngineRunner(nullptr);
    setExitQuitAction([this] { ++quits_; });
}

void AppTest::TearDown()
{
    setExitQuitAction({});
    setExitEngineRunner(nullptr);
    gvExiting = false;
    gvDeleteTempFiles = false;
    setMessagePrompt(previousPrompt_);
    TraceRuntime::makeCurrent(previousRuntime_);
    runtime_.reset();
    qputenv("LENTARO_HOME", previousHome_);
    qputenv("LENTARO_REGISTRY_DIR", previousRegistry_);
}

void AppTest::writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray AppTest::readFile(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

TestDatabase::TestDatabase(const QString& path)
{
    static int connections = 0;
    connection_ = QStringLiteral("test.%1").arg(++connections);
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(path);
    EXPECT_TRUE(db_.open()) << db_.lastError().text().toStdString();
}

TestDatabase::~TestDatabase()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

void TestDatabase::run(const QString& script)
{
    for (const QString& statement : script.split(u';', Qt::SkipEmptyParts)) {
        if (statement.trimmed().isEmpty())
            continue;
        QSqlQuery query(db_);
        EXPECT_TRUE(query.exec(statement))
            << statement.toStdString() << ": " << query.lastError().text().toStdString();
    }
}

QVariant TestDatabase::value(const QString& sql)
{
    QSqlQuery query(db_);
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": "
                                 << query.lastError().text().toStdString();
    return query.next() ? query.value(0) : QVariant();
}

QStringList TestDatabase::rows(const QString& sql)
{
    QSqlQuery query(db_);
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": "
                                 << query.lastError().text().toStdString();
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i) {
            const QVariant value = query.value(i);
            values << (value.isNull() ? QStringLiteral("<null>") : value.toString());
        }
        rows << values.join(u'|');
    }
    return rows;
}

QStringList TestDatabase::fields(const QString& table)
{
    QStringList fields;
    const QString sql = QStringLiteral("PRAGMA table_info(\"%1\")").arg(table);
    for (const QString& row : rows(sql)) {
        const QStringList parts = row.split(u'|');
        const QString fallback = parts[4] == QStringLiteral("<null>") ? QStringLiteral("-") : parts[4];
        fields << parts[1] + u' ' + parts[2] + u' ' + fallback;
    }
    return fields;
}

QStringList TestDatabase::dump()
{
    QStringList lines = rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name"));
    for (const QString& table : rows(QStringLiteral(
             "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
             "ORDER BY name"))) {
        for (const QString& row :
             rows(QStringLiteral("SELECT rowid, * FROM \"%1\" ORDER BY rowid").arg(table)))
            lines << table + u':' + row;
    }
    return lines;
}

} // namespace lentaro::test
