#include "tests/trace/report_fixture.h"
#include "tests/trace/trace_fixture.h"

#include "trace/defectrecord.h"

namespace lentaro::test {
namespace {

class DefectRecord : public ::testing::Test
{
protected:
    DefectRecord()
    {
        settings_.quillmarkDatabase = QStringLiteral("LentaroDefects");
        settings_.quillmarkAddress = QStringLiteral("defects@example.org");
        settings_.quillmarkProject = QStringLiteral("Lentaro 2");
        settings_.quillmarkAssignedTo = QStringLiteral("dev");
    }

    AmericanLocale american_;
    FakeSystemProbe probe_;
    TraceSettings settings_;
};

TEST_F(DefectRecord, LabelledFieldsOfTheErrorAndTheMachine)
{
    const QStringList expected = {
        "KEY:",
        "  Lentaro (local)frmTrimSub Form_Load011",
        "REPORTED BY:",
        "  mira",
        "CONFIGURATION:",
        "  MACHINE NAME:",
        "    studio",
        "  OS:",
        "    Linux 6.1.0-18-amd64  (Build #1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1) Debian GNU/Linux "
        "12 (bookworm)",
        "  CPU:",
        "    Intel Pentium III or Pentium III Xeon Model, 9E Stepping 0A",
        "  NUM CPU:",
        "    8",
        "  PHYSICAL MEMORY:",
        "    16384",
        "  DISPLAY RESOLUTION:",
        "    2560 x 1440",
        "  COLOR PALETTE:",
        "    4294967296",
        "  NUM MONITORS:",
        "    2",
        "  NUM MOUSEBUTTONS:",
        "    5",
        "  HAS MOUSEWHEEL:",
        "    Yes",
        "  COUNTRY:",
        "    United States",
        "  LANGUAGE:",
        "    American English",
        "  MIDEAST:",
        "    No",
        "  DBCS:",
        "    No",
        "OTHER COMPONENTS:",
        "  2",
        "  NAME:",
        "    /opt/lentaro/bin/lentaro",
        "  SIZE:",
        "    1,234,567",
        "  DATEMODIFIED:",
        "    2/2/24 10:15:30",
        "  FILEVERSION:",
        "    2.0.15",
        "  DATECREATED:",
        "    &hAB12CD34",
        "  PRODUCTVERSION:",
        "    2.0.15",
        "  PRODUCTNAME:",
        "    Lentaro",
        "  COMPANYNAME:",
        "    <Not Found>",
        "  FILEDESCRIPTION:",
        "    Lentaro",
        "  NAME:",
        "    /usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2",
        "  SIZE:",
        "    6,543,210",
        "  DATEMODIFIED:",
        "    11/20/23 17:45:00",
        "  FILEVERSION:",
        "    ",
        "  DATECREATED:",
        "    ",
        "  PRODUCTVERSION:",
        "    ",
        "  PRODUCTNAME:",
        "    ",
        "  COMPANYNAME:",
        "    ",
        "  FILEDESCRIPTION:",
        "    ",
        "PROJECT:",
        "  Lentaro 2",
        "ASSIGNED TO:",
        "  dev",
        "DATE/TIME ENTERED:",
        "  3/5/24 14:07:09",
        "SYNOPSIS:",
        "  Division by zero",
        "DESCRIPTION:",
        "  Category-      General run-time error",
        "  Source-        Lentaro (local)",
        "  Module-        frmTrim",
        "  Procedure-     Sub Form_Load",
        "  Line Number-   0",
        "  Error Number-  11",
        "  Description-   Division by zero",
        "  User Text-     I pressed Play twice",
        "PRODUCT:",
        "  Sentrix 6.6 (C++17 and Qt 6 on Linux)",
        "STACK:",
        "   1 : frmMain : Sub Main : ()",
        "   2 : \tfrmTrim : Sub Form_Load : (Cancel=0)",
        "",
    };
    EXPECT_EQ(defectRecord(divisionByZeroReport(), probe_, settings_),
              expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

TEST_F(DefectRecord, EmptySettingsLeaveEmptyValues)
{
    const TraceSettings empty;
    const QString record = defectRecord(divisionByZeroReport(), probe_, empty);
    EXPECT_TRUE(record.contains("\r\nPROJECT:\r\n  \r\nASSIGNED TO:\r\n  \r\n"));
    EXPECT_EQ(defectRecordMail(record, empty, std::nullopt).subject, "Sentrix New Defect []");
}

TEST_F(DefectRecord, MailCarriesTheRecordAndTheCircularLogWhenGiven)
{
    const QString record = defectRecord(divisionByZeroReport(), probe_, settings_);
    const MailMessage withLog = defectRecordMail(record, settings_, QByteArray("CIRCULAR\r\n"));
    EXPECT_EQ(withLog.to, QStringList{"defects@example.org"});
    EXPECT_EQ(withLog.subject, "Sentrix New Defect [LentaroDefects]");
    EXPECT_EQ(withLog.body, record);
    ASSERT_EQ(withLog.attachments.size(), 1U);
    EXPECT_EQ(withLog.attachments[0].fileName, "CircularTrace.log");
    EXPECT_EQ(withLog.attachments[0].data, "CIRCULAR\r\n");
    EXPECT_TRUE(defectRecordMail(record, settings_, std::nullopt).attachments.empty());
}

} // namespace
} // namespace lentaro::test
