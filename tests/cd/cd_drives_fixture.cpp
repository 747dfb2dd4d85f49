#include "tests/cd/cd_drives_fixture.h"

#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "platform/cd/Drive.h"
#include "platform/cd/ImageDrive.h"

#include <QSqlQuery>

namespace lentaro::test {

void CdDrivesTest::SetUp()
{
    WindowTest::SetUp();
    ASSERT_TRUE(copyShippedFiles());
    discChangesInPlace_.emplace(cd::discChanges, discChanges_);
    programState().gvDigitalRecordingOK = false;
}

void CdDrivesTest::TearDown()
{
    reader_.reset();
    WindowTest::TearDown();
    discChangesInPlace_.reset();
    drivesInPlace_.reset();
}

void CdDrivesTest::makeDrives(const std::vector<cd::test::ImageSpec>& discs)
{
    std::vector<std::unique_ptr<cd::Drive>> list;
    for (std::size_t i = 0; i < discs.size(); ++i) {
        cues_.push_back(cd::test::writeImage(images_.path().toStdString(),
                                             "disc" + std::to_string(i), discs[i]));
        list.push_back(std::make_unique<cd::ImageDrive>(cues_.back()));
    }
    drives_ = cd::DriveList(std::move(list));
    drivesInPlace_.emplace(cd::cdDrives, drives_);
}

cd::DigitalReader& CdDrivesTest::reader()
{
    if (!reader_)
        reader_.emplace();
    return *reader_;
}

void CdDrivesTest::eject(char letter)
{
    ASSERT_TRUE(drives_.drive(letter)->eject());
}

void CdDrivesTest::insert(char letter)
{
    ASSERT_TRUE(drives_.drive(letter)->closeTray());
}

int CdDrivesTest::count(const QString& table, const QString& where)
{
    QSqlQuery query(db());
    EXPECT_TRUE(
        query.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE %2").arg(table, where)));
    query.next();
    return query.value(0).toInt();
}

} // namespace lentaro::test
