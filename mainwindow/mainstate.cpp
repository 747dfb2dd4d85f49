#include "mainwindow/mainstate.h"

#include <QSqlError>
#include <QSqlTableModel>
#include <QUuid>

namespace lentaro {

MainState::MainState()
    : connection_(QStringLiteral("main window ") + QUuid::createUuid().toString())
{
}

MainState::~MainState()
{
    delete CDs;
    delete dtaTracks;
    delete dtaLoopPoints;
    delete WAVs;
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

bool MainState::bindDatabase(const QString& path, QString& reason)
{
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    // The file must be there: opening never makes an empty database in its place.
    db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    db_.setDatabaseName(QStringLiteral("file:") + path + QStringLiteral("?mode=rw"));
    if (!db_.open()) {
        reason = db_.lastError().text();
        return false;
    }
    const auto bind = [this](QSqlTableModel*& model, const char* table) {
        model = new QSqlTableModel(nullptr, db_);
        model->setTable(QString::fromLatin1(table));
        model->setEditStrategy(QSqlTableModel::OnManualSubmit);
        model->select();
    };
    bind(CDs, "CDs");
    bind(dtaTracks, "Tracks");
    bind(dtaLoopPoints, "LoopPoints");
    bind(WAVs, "Wave Files");
    return true;
}

} // namespace lentaro
