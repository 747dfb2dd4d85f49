#include "mainwindow/mainstate.h"

#include "app/databasefile.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"

#include <QSqlError>
#include <QSqlTableModel>
#include <QUuid>

#include <utility>

namespace lentaro {

namespace {

// Loop rows in start order, rows sharing a start in the order they were made.
class LoopRowsModel : public QSqlTableModel
{
public:
    LoopRowsModel(const QSqlDatabase& db, const QString& table) : QSqlTableModel(nullptr, db)
    {
        setTable(table);
        setEditStrategy(QSqlTableModel::OnManualSubmit);
    }

protected:
    QString orderByClause() const override { return QStringLiteral("ORDER BY startTime, rowKey"); }
};

} // namespace

MainState::MainState()
    : connection_(QStringLiteral("main window ") + QUuid::createUuid().toString())
{
}

void MainState::setSlowDownPercent(int percent)
{
    if (std::exchange(slowDownPercent_, percent) != percent)
        emit slowDownPercentChanged(percent);
}

void MainState::setPitchChange(int cents)
{
    if (std::exchange(pitchChange_, cents) != cents)
        emit pitchChangeChanged(cents);
}

void MainState::setCurrentView(int view)
{
    if (std::exchange(currentView_, view) != view)
        emit currentViewChanged(view);
}

void MainState::setCurrentMMControl(mci::MMControl* control)
{
    if (std::exchange(currentMMControl_, control) != control)
        emit currentMMControlChanged(control);
}

MainState::~MainState()
{
    delete dtaTracks;
    delete dtaLoopPoints;
    delete WAVs;
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

bool MainState::bindDatabase(const QString& path, QString& reason)
{
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!openDatabaseFile(db_, path, Schema::Upgraded, reason))
        return false;
    const auto bind = [this](QSqlTableModel*& model, const char* table) {
        model = new QSqlTableModel(nullptr, db_);
        model->setTable(QString::fromLatin1(table));
        model->setEditStrategy(QSqlTableModel::OnManualSubmit);
        model->select();
    };
    bind(dtaTracks, "Tracks");
    dtaLoopPoints = new LoopRowsModel(db_, QStringLiteral("LoopPoints"));
    dtaLoopPoints->select();
    boundWaveFileID_ = 0;
    bind(WAVs, "Wave Files");
    emit tablesBound();
    emit loopsRebound();
    return true;
}

bool MainState::bindWaveLoops(int waveFileID, QString& reason)
{
    if (!bindLoops("WaveLoopPoints", "waveFileID", waveFileID, reason))
        return false;
    boundWaveFileID_ = waveFileID;
    return true;
}

bool MainState::bindCdLoops(int cdID, QString& reason)
{
    if (!bindLoops("LoopPoints", "CDid", cdID, reason))
        return false;
    boundWaveFileID_ = 0;
    return true;
}

void MainState::enterCdView(mci::MMControl& cdDevice)
{
    cdView = true;
    setCurrentMMControl(&cdDevice);
    if (boundWaveFileID_ == 0)
        return;
    QString reason;
    if (!bindCdLoops(currentCDid, reason))
        throw RuntimeError(errorNumbers::databaseCallFailed, reason);
}

bool MainState::bindLoops(const char* table, const char* key, int id, QString& reason)
{
    if (!dtaLoopPoints) {
        reason = QStringLiteral("The database is not open.");
        return false;
    }
    auto* loops = new LoopRowsModel(db_, QString::fromLatin1(table));
    loops->setFilter(QStringLiteral("%1=%2").arg(QLatin1String(key)).arg(id));
    if (!loops->select()) {
        reason = loops->lastError().text();
        delete loops;
        return false;
    }
    delete dtaLoopPoints;
    dtaLoopPoints = loops;
    emit loopsRebound();
    return true;
}

} // namespace lentaro

// MainState's meta-object in its own object, not in the folder's one moc object beside
// frmMain's, so a side that links MainState does not pull in the whole main window.
#include "moc_mainstate.cpp"
