#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace lentaro {

// The statements of an SQL script, without comments: split at each semicolon outside quotes
// ('text', "name") and comments (-- to the line's end, /* ... */). Statements whose bodies hold
// semicolons of their own (triggers) are not supported.
QStringList sqlStatements(const QString& script);

// Runs the script's statements in order on `db` and stops at the first that fails. Returns
// the empty text on success, else the failing statement's number (from 1) and the reason.
// The caller decides about the transaction.
QString runSqlScript(QSqlDatabase& db, const QString& script);

} // namespace lentaro
