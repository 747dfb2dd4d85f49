#include "tests/program/cd_window_fixture.h"

#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace lentaro::test {

void CdWindowTest::showDiscs(const std::vector<cd::test::ImageSpec>& discs)
{
    withCdSide_ = true;
    useDiscs(discs);
    show();
}

void CdWindowTest::show()
{
    main().setClock([this] { return windowNow_; });
    typedAgo(std::chrono::minutes(1));
    main().show();
    main().cd().checkCDPresent();
}

void CdWindowTest::typedAgo(std::chrono::milliseconds ago)
{
    main().stampTyping();
    windowNow_ += ago;
}

QModelIndex CdWindowTest::cellOf(int track, const char* field)
{
    QSqlTableModel& tracks = *main().state().dtaTracks;
    for (int row = 0; row < tracks.rowCount(); ++row) {
        if (tracks.data(tracks.index(row, tracks.fieldIndex("TrackNum"))).toInt() == track)
            return tracks.index(row, tracks.fieldIndex(QLatin1String(field)));
    }
    ADD_FAILURE() << "no row of track " << track;
    return {};
}

void CdWindowTest::doubleClick(const QModelIndex& cell)
{
    QTableView& grid = *control<QTableView>(main(), "tgTracks");
    const QPoint at = grid.visualRect(cell).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
}

void CdWindowTest::click(const QModelIndex& cell)
{
    QTableView& grid = *control<QTableView>(main(), "tgTracks");
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
}

void CdWindowTest::changeRows(const QString& statement)
{
    QSqlQuery query(db());
    ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
    main().cd().refreshDisplayForNewCD();
}

QVariant CdWindowTest::storedTrackField(int track, const char* field)
{
    QSqlQuery query(db());
    query.exec(QStringLiteral("SELECT %1 FROM Tracks WHERE CDid=%2 AND TrackNum=%3")
                   .arg(QLatin1String(field))
                   .arg(main().state().currentCDid)
                   .arg(track));
    return query.next() ? query.value(0) : QVariant();
}

} // namespace lentaro::test
