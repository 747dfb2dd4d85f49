#include "platform/registry/HiveText.h"
#include "platform/registry/Registry.h"
#include "platform/registry/Settings.h"

#include "tests/platform/registry/temp_registry_folder.h"

namespace lentaro::registry {
namespace {

using test::readBytes;
using test::TempRegistryFolder;
using test::writeBytes;

constexpr std::string_view recentFiles =
    "Software\\VB and VBA Program Settings\\Lentaro\\Recent Files";

std::string goodHiveText()
{
    Key root;
    bool created = false;
    root.make({"Software", "VB and VBA Program Settings", "Lentaro", "Recent Files"}, created)
        .setValue("1", Value::string("/music/a.wav"));
    return formatHive(root);
}

class DamagedHive : public TempRegistryFolder
{};

TEST_F(DamagedHive, IsKeptAsideReportedAndReplacedByAFreshHive)
{
    const std::string good = goodHiveText();
    std::string altered = good;
    altered[good.size() / 2] ^= 0x20;
    const std::pair<const char*, std::string> damages[] = {
        {"empty file", ""},
        {"cut short", good.substr(0, good.size() - 5)},
        {"one byte altered", altered},
        {"some other format", "[Recent Files]\n1=/music/a.wav\n"},
        {"binary junk", std::string("\x7f"
                                    "ELF\0\0\x01\xff",
                                    8)},
    };
    for (const auto& [what, damaged] : damages) {
        SCOPED_TRACE(what);
        // A folder of its own, whose file this process has never read.
        const fs::path caseFolder = folder / what;
        fs::create_directory(caseFolder);
        ::setenv("LENTARO_REGISTRY_DIR", caseFolder.c_str(), 1);
        writeBytes(caseFolder / "user.hive", damaged);

        Value value;
        const Result result = getValue(RootKey::CurrentUser, recentFiles, "1", value);
        EXPECT_EQ(result.status, Status::HiveDamaged);
        EXPECT_NE(result.message.find((caseFolder / "user.hive.bad").string()), std::string::npos)
            << result.message;
        EXPECT_EQ(readBytes(caseFolder / "user.hive.bad"), damaged);
        EXPECT_FALSE(fs::exists(caseFolder / "user.hive"));

        // From then on the hive is empty and works; the damaged copy stays as it was.
        EXPECT_EQ(getValue(RootKey::CurrentUser, recentFiles, "1", value).status,
                  Status::KeyNotFound);
        ASSERT_TRUE(saveSetting("Lentaro", "Recent Files", "1", "/music/b.wav").ok());
        EXPECT_EQ(getSetting("Lentaro", "Recent Files", "1"), "/music/b.wav");
        EXPECT_EQ(readBytes(caseFolder / "user.hive.bad"), damaged);
    }
}

TEST_F(DamagedHive, AChangeMetByDamageIsNotMadeAndEarlierCopiesAreNeverReplaced)
{
    writeBytes(userHive(), "first damage");
    EXPECT_EQ(saveSetting("Lentaro", "Recent Files", "1", "/lost.wav").status, Status::HiveDamaged);
    EXPECT_EQ(getSetting("Lentaro", "Recent Files", "1", "not stored"), "not stored");

    ASSERT_TRUE(saveSetting("Lentaro", "Recent Files", "1", "/kept.wav").ok());
    writeBytes(userHive(), "second damage");
    EXPECT_EQ(createKey(RootKey::CurrentUser, "Anything").status, Status::HiveDamaged);
    EXPECT_EQ(readBytes(folder / "user.hive.bad"), "first damage");
    EXPECT_EQ(readBytes(folder / "user.hive.bad.1"), "second damage");
}

TEST_F(DamagedHive, ThatCannotBeMovedAsideIsLeftUntouchedAndNeverWrittenOver)
{
    writeBytes(folder / "user.hive.bad", "earlier");
    for (int i = 1; i < 1000; ++i)
        writeBytes(folder / ("user.hive.bad." + std::to_string(i)), "earlier");
    writeBytes(userHive(), "damaged");

    for (int attempt = 0; attempt < 2; ++attempt) {
        const Result result = saveSetting("Lentaro", "Recent Files", "1", "/music/a.wav");
        EXPECT_EQ(result.status, Status::HiveDamaged);
        EXPECT_NE(result.message.find("could not be moved aside"), std::string::npos)
            << result.message;
        EXPECT_EQ(readBytes(userHive()), "damaged");
    }
}

TEST_F(DamagedHive, OnlyAffectsItsOwnHive)
{
    ASSERT_TRUE(saveSetting("Lentaro", "Recent Files", "1", "/music/a.wav").ok());
    writeBytes(machineHive(), "damaged");
    EXPECT_EQ(findKey(RootKey::ClassesRoot, "AudioCD").status, Status::HiveDamaged);
    EXPECT_EQ(getSetting("Lentaro", "Recent Files", "1"), "/music/a.wav");
}

} // namespace
} // namespace lentaro::registry
