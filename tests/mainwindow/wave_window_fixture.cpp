#include "tests/mainwindow/wave_window_fixture.h"
#include "tests/support/named_control.h"

#include <QAction>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace lentaro::test {

QString WaveWindowTest::secondsWave(const QString& path, int seconds)
{
    QByteArray samples;
    QDataStream out(&samples, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (int second = 0; second < seconds; ++second) {
        for (int frame = 0; frame < 8000; ++frame)
            out << qint16(second + 1);
    }
    const QByteArray bytes = monoWave(samples);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

void WaveWindowTest::openThroughMenu(frmMain& main, const QString& path)
{
    prompts_.queueFile(path);
    control<QAction>(main, "mnuFileOpen")->trigger();
}

QList<QVariantList> WaveWindowTest::rows(const QString& sql) const
{
    QList<QVariantList> found;
    const QString connection = QStringLiteral("test reader");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path(QStringLiteral("lentaro.mdb")));
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        while (query.next()) {
            QVariantList row;
            for (int column = 0; column < query.record().count(); ++column)
                row << query.value(column);
            found << row;
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return found;
}

void WaveWindowTest::execute(const QString& sql) const
{
    rows(sql);
}

std::vector<std::int16_t> WaveWindowTest::heard() const
{
    const std::vector<std::uint8_t> bytes = sink_->bytes();
    std::vector<std::int16_t> samples;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        samples.push_back(static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8));
    return samples;
}

} // namespace lentaro::test
