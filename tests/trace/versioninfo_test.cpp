#include "tests/trace/fake_system_probe.h"
#include "tests/trace/trace_fixture.h"

#include "trace/versioninfo.h"

namespace lentaro::test {
namespace {

TEST(VersionHelpers, Hex8PadsToEightDigitsThenKeepsTheLastOnes)
{
    const struct {
        std::uint32_t value;
        int width;
        const char* text;
    } cases[] = {
        {10, 2, "0A"},      {0x1234, 2, "34"},           {0xabcdef, 8, "00ABCDEF"},
        {0x503, 4, "0503"}, {0xffffffff, 8, "FFFFFFFF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pfHex8(c.value, c.width), c.text) << c.value;
}

TEST(VersionHelpers, CStringEndsAtTheFirstNulAndKeepsATextWithout)
{
    EXPECT_EQ(pfCString(QStringLiteral("abc") + QChar(0) + QStringLiteral("xyz")), "abc");
    EXPECT_EQ(pfCString(QStringLiteral("abc")), "abc");
    EXPECT_EQ(pfCString(QString(QChar(0))), "");
    EXPECT_EQ(pfCString(QString()), "");
}

TEST(VersionHelpers, OnlyOurOwnExecutableCarriesVersionInformation)
{
    const FakeSystemProbe probe;
    const struct {
        QString path;
        int field;
        const char* value;
    } cases[] = {
        {probe.executable, FileVersion, "2.0.15"},
        {probe.executable, ProductVersion, "2.0.15"},
        {probe.executable, ProductName, "Lentaro"},
        {probe.executable, InternalName, "lentaro"},
        {probe.executable, OriginalFilename, "lentaro"},
        {probe.executable, CompanyName, "<Not Found>"},
        {probe.executable, Comments, "<Not Found>"},
        {probe.executable, 12, ""},
        {probe.qtCore, FileVersion, ""},
        {probe.qtCore, Comments, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pfVersionInfoField(probe, c.path, c.field), c.value)
            << c.path.toStdString() << " " << c.field;
}

TEST(VersionHelpers, FileDatesByKind)
{
    const AmericanLocale american;
    const FakeSystemProbe probe;
    EXPECT_EQ(pfFileDateText(probe, probe.executable, 0), "3/4/24 08:00:00");
    EXPECT_EQ(pfFileDateText(probe, probe.executable, 1), "2/1/24 09:30:00");
    EXPECT_EQ(pfFileDateText(probe, probe.executable, 2), "2/2/24 10:15:30");
    EXPECT_EQ(pfFileDateText(probe, probe.qtCore, 1), ""); // no birth time kept
    EXPECT_EQ(pfFileDateText(probe, "/no/such/file", 2), "");
}

TEST(VersionHelpers, OperatingSystemTextAndAnEmptyModuleList)
{
    FakeSystemProbe probe;
    EXPECT_EQ(pfWindowsVersionText(probe), "Linux 6.1.0-18-amd64  (Build #1 SMP PREEMPT_DYNAMIC "
                                           "Debian 6.1.76-1) Debian GNU/Linux 12 (bookworm)");
    probe.modules.clear();
    EXPECT_EQ(pfModuleVersionLine(probe, 1), "\r\n");
}

} // namespace
} // namespace lentaro::test
