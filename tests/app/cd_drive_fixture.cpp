#include "tests/app/cd_drive_fixture.h"

#include "platform/mci/MMControl.h"

#include <gtest/gtest.h>

namespace lentaro::test {

void openCdDrive(mci::MMControl& cd, char letter)
{
    cd.setWait(true);
    cd.setCommand(QStringLiteral("Close"));
    cd.setFileName(QString(QChar::fromLatin1(letter)) + QLatin1Char(':'));
    cd.setWait(true);
    cd.setCommand(QStringLiteral("Open"));
    EXPECT_EQ(cd.error(), 0) << cd.errorMessage().toStdString();
}

} // namespace lentaro::test
