#include "tests/trace/fake_system_probe.h"
#include "tests/trace/trace_fixture.h"

#include "trace/systemreport.h"

namespace lentaro::test {
namespace {

QString joinedLines(const QStringList& lines)
{
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

// The report of the fake machine, as a user's program shows it.
const QStringList goldenReport = {
    "Application running on computer studio",
    "   Title...............Lentaro",
    "   Path................/home/mira/.local/share/lentaro",
    "   Project Version.....2.0.15",
    "   OLE Server..........NO",
    "   Previous Instance...False",
    "  EXE Name............Lentaro",
    "  EXE Time Stamp......2/2/24 10:15:30",
    "  EXE Size............1,234,567 bytes",
    "",
    "Operating System",
    "   Windows Version......Linux 6.1.0-18-amd64  (Build #1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1) "
    "Debian GNU/Linux 12 (bookworm)",
    "   Debug Kernel........No",
    "   Language............American English",
    "   Mideast.............No",
    "   DCBS................No",
    "   Windows Directory...<Unknown>",
    "   Current Path......../home/mira",
    "Memory Information",
    "   Total Physical......16,777,216K",
    "   Available Physical..8,388,612K",
    "   Virtual Memory......18,874,368K",
    "   Available Virtual...10,485,760K",
    "   Pct Physical Free...50.00%",
    "Processor",
    "   CPU.................Intel Pentium III or Pentium III Xeon Model, 9E Stepping 0A",
    "   Number of CPUs......8",
    "Drives",
    "   Floppies............1",
    "   Disks...............3",
    "   Drive /:...........Fixed     123,456,789 KB Free",
    "   Drive /media/mira/STICK:...........Floppy    ",
    "   Drive /mnt/band:...........Network   ",
    "   Drive /media/cdrom0:...........CD        ",
    "Printer",
    "   Driver..............Office_Laser",
    "Ports",
    "   Serial Driver.......<Unknown>",
    "   Com1................<Unknown>",
    "   Com2................<Unknown>",
    "   Com3................<Unknown>",
    "   Com4................<Unknown>",
    "Network",
    "   Driver..............<Unknown>",
    "   Description.........<Unknown>",
    "General Video Information",
    "   Colors.......................4,294,967,296",
    "   Screen size..............2560 x 1440",
    "   Number of Monitors..2",
    "Mouse",
    "   Mouse Present.......Yes",
    "   Driver..............<Unknown>",
    "   Description.........<Unknown>",
    "   Mouse Buttons.......5",
    "   Mouse Wheel.......Yes",
    "Keyboard",
    "   Driver..............<Unknown>",
    "   Description.........<Unknown>",
    "Other Components Running In Process",
    "   /opt/lentaro/bin/lentaro       FileVersion: 2.0.15 ProductVersion: 2.0.15 ProductName: "
    "Lentaro "
    "CompanyName: <Not Found> FileDescription: Lentaro  Created: 2/1/24 09:30:00",
    "   /usr/lib/x86_64-linux-gnu/libQt6Core.so.6.4.2       FileVersion:  ProductVersion:  "
    "ProductName:  "
    "CompanyName:  FileDescription:   Created: ",
    "",
};

class SystemReport : public ::testing::Test
{
protected:
    QString report(bool developmentEnvironment = false) const
    {
        return pfSystemReport(probe_, {QStringLiteral("Lentaro"), developmentEnvironment});
    }

    AmericanLocale american_;
    FakeSystemProbe probe_;
};

TEST_F(SystemReport, DescribesTheMachineAndTheRunningProgram)
{
    EXPECT_EQ(report(), joinedLines(goldenReport));
}

TEST_F(SystemReport, UnderTheDebuggerTheExecutableLinesAreLeftOut)
{
    QStringList expected = goldenReport;
    expected.erase(expected.begin() + 6, expected.begin() + 10);
    EXPECT_EQ(report(true), joinedLines(expected));
}

TEST_F(SystemReport, ExecutableLinesDescribeTheRunningExecutableOrAreLeftOut)
{
    probe_.files.erase(probe_.executable);
    const QString text = report();
    EXPECT_TRUE(text.contains("  EXE Name............Lentaro\r\n\r\nOperating System\r\n"));
    EXPECT_FALSE(text.contains("EXE Time Stamp"));
    EXPECT_FALSE(text.contains("EXE Size"));
}

TEST_F(SystemReport, SmallAndUnknownValues)
{
    probe_.memoryInfo.availablePhysical = 1023;
    probe_.hostName.clear();
    probe_.bitsPerPixel = 24;
    const QString text = report();
    EXPECT_TRUE(text.startsWith("Application\r\n   Title"));
    EXPECT_TRUE(text.contains("\r\n   Available Physical..<none>\r\n"));
    EXPECT_TRUE(text.contains("\r\n   Colors.......................True Color\r\n"));
}

TEST(ProcessorText, ModelAndSteppingAreTheRevisionsHexadecimalDigits)
{
    const struct {
        ProcessorInfo processor;
        const char* text;
    } cases[] = {
        {{586, 6, 0x503},
         "Intel Pentium II Model 5, Pentium II Xeon Model 5, or Celeron Model 5, Stepping 03"},
        {{586, 6, 0x109}, "Intel Pentium Pro, Model 01, Stepping 09"},
        {{586, 6, 0x302}, "Intel Pentium II, Model 3 Stepping 02"},
        {{586, 6, 0x60A}, "Intel Celeron Model 6 Stepping, 0A"},
        {{586, 6, 0x0A01}, "Intel Pentium III or Pentium III Xeon Model, 0A Stepping 01"},
        {{586, 6, 0x9E0A}, "Intel Pentium III or Pentium III Xeon Model, 9E Stepping 0A"},
        {{586, 6, 0x0007}, "Unable to determine processor type"},
        {{586, 6, 0x0405}, "Unable to determine processor type"},
        {{586, 5, 0x0204}, "Pentium"},
        {{586, 25, 0x2102}, "Pentium"},
        {{386, 3, 0}, "Intel 386"},
        {{486, 4, 0}, "Intel 386"},
        {{4000, 0, 0}, "MIPS R4000"},
        {{21064, 0, 0}, "Alpha 21064"},
        {{0, 0, 0}, "Unknown"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pfProcessorText(c.processor), c.text) << std::hex << c.processor.revision;
}

TEST(ColorDepth, TwoToTheBitsExceptTrueColor)
{
    FakeSystemProbe probe;
    const struct {
        int bits;
        const char* text;
    } cases[] = {{32, "4294967296"}, {24, "True Color"}, {16, "65536"}, {8, "256"}};
    for (const auto& c : cases) {
        probe.bitsPerPixel = c.bits;
        EXPECT_EQ(pfColorDepthText(probe), c.text) << c.bits;
    }
}

} // namespace
} // namespace lentaro::test
