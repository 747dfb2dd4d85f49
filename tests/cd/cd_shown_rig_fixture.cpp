#include "tests/cd/cd_shown_rig_fixture.h"

#include "cd/cdside.h"
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"

#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace lentaro::test {

void CdShownRigTest::showDiscs(const std::vector<cd::test::ImageSpec>& discs)
{
    withCdSide_ = true;
    useDiscs(discs);
    show();
}

ScriptedCdDevice& CdShownRigTest::showScriptedDisc(const std::vector<int>& trackMs)
{
    withCdSide_ = true;
    useDiscs({});
    auto device = std::make_unique<ScriptedCdDevice>(trackMs);
    ScriptedCdDevice& scripted = *device;
    rig().CDControl->setDevice(std::move(device), QStringLiteral("CDAudio"));
    show();
    return scripted;
}

void CdShownRigTest::show()
{
    typedAgo(std::chrono::minutes(1));
    rig().show();
    side().checkCDPresent();
}

void CdShownRigTest::typedAgo(std::chrono::milliseconds ago)
{
    rig().stampTyping();
    rig().now += ago;
}

int CdShownRigTest::gridTrack()
{
    const QModelIndex current = rig().tgTracks->currentIndex();
    if (!current.isValid())
        return 0;
    QSqlTableModel& tracks = *rig().state().dtaTracks;
    return tracks.data(tracks.index(current.row(), tracks.fieldIndex("TrackNum"))).toInt();
}

QModelIndex CdShownRigTest::cellOf(int track, const char* field)
{
    QSqlTableModel& tracks = *rig().state().dtaTracks;
    for (int row = 0; row < tracks.rowCount(); ++row) {
        if (tracks.data(tracks.index(row, tracks.fieldIndex("TrackNum"))).toInt() == track)
            return tracks.index(row, tracks.fieldIndex(QLatin1String(field)));
    }
    ADD_FAILURE() << "no row of track " << track;
    return {};
}

void CdShownRigTest::doubleClick(const QModelIndex& cell)
{
    QTableView& grid = *rig().tgTracks;
    const QPoint at = grid.visualRect(cell).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
}

void CdShownRigTest::click(const QModelIndex& cell)
{
    QTableView& grid = *rig().tgTracks;
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
}

void CdShownRigTest::changeRows(const QString& statement)
{
    QSqlQuery query(db());
    ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
    side().refreshDisplayForNewCD();
}

QVariant CdShownRigTest::storedTrackField(int track, const char* field)
{
    QSqlQuery query(db());
    query.exec(QStringLiteral("SELECT %1 FROM Tracks WHERE CDid=%2 AND TrackNum=%3")
                   .arg(QLatin1String(field))
                   .arg(rig().state().currentCDid)
                   .arg(track));
    return query.next() ? query.value(0) : QVariant();
}

} // namespace lentaro::test
