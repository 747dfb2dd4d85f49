#include "app/sqlscript.h"

#include <QSqlError>
#include <QSqlQuery>

namespace lentaro {

QStringList sqlStatements(const QString& script)
{
    QStringList statements;
    QString current;
    const auto finish = [&] {
        const QString statement = current.trimmed();
        if (!statement.isEmpty())
            statements.append(statement);
        current.clear();
    };

    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script[i];
        const QChar next = i + 1 < n ? script[i + 1] : QChar();
        if (c == u'-' && next == u'-') {
            while (i < n && script[i] != u'\n')
                ++i;
            current += u'\n';
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = script.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 1;
            current += u' ';
        } else if (c == u'\'' || c == u'"') {
            // A doubled quote inside is part of the text; the scan simply reopens it.
            const qsizetype end = script.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n - 1 : end;
            current += script.mid(i, stop - i + 1);
            i = stop;
        } else if (c == u';') {
            finish();
        } else {
            current += c;
        }
    }
    finish();
    return statements;
}

QString runSqlScript(QSqlDatabase& db, const QString& script)
{
    const QStringList statements = sqlStatements(script);
    for (qsizetype i = 0; i < statements.size(); ++i) {
        QSqlQuery query(db);
        if (!query.exec(statements[i])) {
            return QStringLiteral("statement %1 (%2): %3")
                .arg(i + 1)
                .arg(statements[i].left(60).simplified(), query.lastError().text());
        }
    }
    return {};
}

} // namespace lentaro
