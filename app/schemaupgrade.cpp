#include "app/schemaupgrade.h"

#include "app/databasefile.h"
#include "app/databasemessage.h"
#include "app/databaseschema.h"
#include "app/dbversion.h"
#include "app/preferencetext.h"
#include "platform/forms/prompts.h"
#include "platform/shell/programfolder.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QVariant>

#include <optional>
#include <utility>
#include <vector>

namespace lentaro {

namespace {

constexpr char module[] = "Vellutilities";

// Number of the run-time error a failed database statement raises (a data access error).
constexpr std::int32_t databaseErrorNumber = 3000;
// SQLite's result code for a write to a database that may only be read.
constexpr int sqliteReadOnly = 8;

struct ConvertedField {
    const char* table;
    const char* field;
};

// Fields that were long binary and are memo now.
const ConvertedField convertedFields[] = {
    {"Tracks", "WAV"},
    {"Tracks", "Notation"},
    {"LoopPoints", "WAV"},
    {"LoopPoints", "Notation"},
};

// Declared column types: Long fields are INTEGER, memo fields TEXT, long binary BLOB.
const QString longType = QStringLiteral("INTEGER");
const QString memoType = QStringLiteral("TEXT");
const QString longBinaryType = QStringLiteral("BLOB");

enum class FieldCommand { Append, Delete };

QString quoted(QString name)
{
    return u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

RuntimeError databaseError(const QSqlError& error)
{
    return RuntimeError(databaseErrorNumber, error.text());
}

bool isReadOnly(const QSqlError& error)
{
    return (error.nativeErrorCode().toInt() & 0xff) == sqliteReadOnly;
}

// The declared type of the table's field, or nothing when the table or the field is missing.
std::optional<QString> fieldType(QSqlDatabase& db, const QString& tableName,
                                 const QString& fieldName)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(tableName))))
        throw databaseError(query.lastError());
    while (query.next()) {
        if (query.value(1).toString().compare(fieldName, Qt::CaseInsensitive) == 0)
            return query.value(2).toString().trimmed();
    }
    return std::nullopt;
}

bool isLongBinary(const std::optional<QString>& type)
{
    return type && type->compare(longBinaryType, Qt::CaseInsensitive) == 0;
}

// Bytes of a long binary field as memo text: UTF-8 when they are that, else one character
// per byte, so every byte can still be recovered.
QString memoText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

using FieldContents = std::vector<std::pair<qint64, QVariant>>;

// Every row's value of the field that is not Null, by row id, as memo text.
FieldContents readContents(QSqlDatabase& db, const QString& tableName, const QString& fieldName)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %1 IS NOT NULL")
                            .arg(quoted(fieldName), quoted(tableName));
    if (!query.exec(sql))
        throw databaseError(query.lastError());
    FieldContents contents;
    while (query.next()) {
        QVariant value = query.value(1);
        if (value.metaType().id() == QMetaType::QByteArray)
            value = memoText(value.toByteArray());
        contents.emplace_back(query.value(0).toLongLong(), std::move(value));
    }
    return contents;
}

void writeContents(QSqlDatabase& db, const QString& tableName, const QString& fieldName,
                   const FieldContents& contents)
{
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                           .arg(quoted(tableName), quoted(fieldName))))
        throw databaseError(query.lastError());
    for (const auto& [row, value] : contents) {
        query.bindValue(0, value);
        query.bindValue(1, row);
        if (!query.exec())
            throw databaseError(query.lastError());
    }
}

// Appends a field of the given type (and default) to the table, or deletes one. A table that
// cannot be changed is reported in a message box, not as a run-time error. False when the
// field was not changed.
bool AppendDeleteField(QSqlDatabase& db, const QString& tableName, FieldCommand command,
                       const QString& strName, const QString& varType = {},
                       std::optional<int> defaultValue = std::nullopt)
{
    const QString strCommand =
        command == FieldCommand::Append ? QStringLiteral("APPEND") : QStringLiteral("DELETE");
    TraceScope trace(module, "Function AppendDeleteField",
                     {{"strCommand", strCommand}, {"strName", strName}});
    return trace.run(false, [&] {
        QString sql;
        if (command == FieldCommand::Append) {
            sql = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                      .arg(quoted(tableName), quoted(strName), varType);
            if (defaultValue)
                sql += QStringLiteral(" DEFAULT %1").arg(*defaultValue);
        } else {
            sql = QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                      .arg(quoted(tableName), quoted(strName));
        }
        QSqlQuery query(db);
        if (query.exec(sql))
            return true;
        if (isReadOnly(query.lastError())) {
            forms::MsgBox(QStringLiteral("TableDef not Updatable! Unable to complete task."));
            return false;
        }
        throw databaseError(query.lastError());
    });
}

// Adds the Long field with its default when the table lacks it; an existing field keeps its
// type and default. False when the upgrade cannot go on.
bool addField(const QString& fieldName, const QString& tableName, QSqlDatabase& db,
              std::optional<int> defaultVal)
{
    TraceScope trace(module, "Function addField",
                     {{"fieldName", fieldName}, {"tableName", tableName}});
    return trace.run(false, [&] {
        if (fieldType(db, tableName, fieldName))
            return true;
        return AppendDeleteField(db, tableName, FieldCommand::Append, fieldName, longType,
                                 defaultVal);
    });
}

// Replaces a long binary field by a memo field of the same name holding the same contents.
// Any other type, or a missing field, is left alone. False when the upgrade cannot go on.
bool changeField(const QString& fieldName, const QString& tableName, QSqlDatabase& db)
{
    TraceScope trace(module, "Function changeField",
                     {{"fieldName", fieldName}, {"tableName", tableName}});
    return trace.run(false, [&] {
        if (!isLongBinary(fieldType(db, tableName, fieldName)))
            return true;
        const FieldContents contents = readContents(db, tableName, fieldName);
        if (!AppendDeleteField(db, tableName, FieldCommand::Delete, fieldName))
            return false;
        if (!AppendDeleteField(db, tableName, FieldCommand::Append, fieldName, memoType))
            return false;
        writeContents(db, tableName, fieldName, contents);
        return true;
    });
}

bool schemaComplete(QSqlDatabase& db)
{
    for (const NewField& f : newFields) {
        if (!fieldType(db, QString::fromUtf8(f.table), QString::fromUtf8(f.field)))
            return false;
    }
    for (const ConvertedField& f : convertedFields) {
        if (isLongBinary(fieldType(db, QString::fromUtf8(f.table), QString::fromUtf8(f.field))))
            return false;
    }
    return true;
}

// Every step inside one transaction; the first step that fails ends the upgrade and undoes
// what the steps before it did.
bool upgrade(QSqlDatabase& db)
{
    if (!db.transaction())
        throw databaseError(db.lastError());
    bool ok = true;
    for (const NewField& f : newFields) {
        ok = addField(QString::fromUtf8(f.field), QString::fromUtf8(f.table), db, f.defaultValue);
        if (!ok)
            break;
    }
    for (const ConvertedField& f : convertedFields) {
        if (!ok)
            break;
        ok = changeField(QString::fromUtf8(f.field), QString::fromUtf8(f.table), db);
    }
    if (!ok) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        throw databaseError(error);
    }
    return schemaComplete(db);
}

} // namespace

bool AppendNewFields()
{
    TraceScope trace(module, "Function AppendNewFields");
    return trace.run(false, [&] {
        QString reason;
        {
            DatabaseFile file;
            if (file.open(programFolder() + QStringLiteral("/lentaro.mdb"), reason))
                return upgrade(file.database());
        }
        databaseDidNotOpen(reason);
        return false;
    });
}

bool upgradeSchemaIfOld()
{
    TraceScope trace(module, "Function upgradeSchemaIfOld");
    return trace.run(false, [&] {
        if (startingNumber(readDbVersion()) >= 7.0)
            return true;
        if (!AppendNewFields())
            return false;
        writeDbVersion(QStringLiteral("7"));
        return true;
    });
}

} // namespace lentaro
