#include "platform/registry/Settings.h"

#include "platform/registry/Registry.h"

#include "tests/platform/registry/temp_registry_folder.h"

namespace lentaro::registry {
namespace {

using test::TempRegistryFolder;
using Pairs = std::vector<std::pair<std::string, std::string>>;

class Settings : public TempRegistryFolder
{};

TEST_F(Settings, MissingSettingsGiveTheFallback)
{
    EXPECT_EQ(getSetting("Lentaro", "Recent Files", "1"), "");
    EXPECT_EQ(getSetting("Lentaro", "Previous", "AutoplayString", "Play"), "Play");
    ASSERT_TRUE(saveSetting("Lentaro", "Recent Files", "1", "/music/a.wav").ok());
    EXPECT_EQ(getSetting("Lentaro", "Recent Files", "2", "none"), "none");
    EXPECT_EQ(getSetting("Lentaro", "Other", "1", "none"), "none");
    EXPECT_EQ(getSetting("", "Recent Files", "1", "none"), "none");
    EXPECT_EQ(getSetting("Lentaro", "Recent Files", "", "none"), "none");
    EXPECT_EQ(getSetting("Lentaro\\Recent Files", "1", "x", "none"), "none");
    EXPECT_EQ(getAllSettings("Lentaro", "Nothing here"), Pairs{});
}

TEST_F(Settings, SavedTextsLiveAsStringValuesOfTheProgramSettingsKey)
{
    ASSERT_TRUE(saveSetting("Lentaro", "Previous", "AutoplayString", "").ok());
    ASSERT_TRUE(saveSetting("Lentaro", "Recent Files", "1", "/music/Grüße.wav").ok());
    EXPECT_EQ(getSetting("LENTARO", "recent files", "1"), "/music/Grüße.wav");
    EXPECT_EQ(getSetting("Lentaro", "Previous", "AutoplayString", "unset"), "");

    Value value;
    ASSERT_TRUE(getValue(RootKey::CurrentUser,
                         "Software\\VB and VBA Program Settings\\Lentaro\\Recent Files", "1", value)
                    .ok());
    EXPECT_EQ(value, Value::string("/music/Grüße.wav"));

    reopenFromDisk();
    EXPECT_EQ(getSetting("Lentaro", "Recent Files", "1"), "/music/Grüße.wav");
}

TEST_F(Settings, GetAllSettingsListsTextsInOrderOfFirstSave)
{
    for (const char* key : {"3", "1", "2"}) {
        ASSERT_TRUE(saveSetting("Lentaro", "Recent Files", key, std::string("/f") + key).ok());
    }
    ASSERT_TRUE(saveSetting("Lentaro", "Recent Files", "1", "/new").ok());
    // A preference-style binary value in the same key holds no setting text.
    ASSERT_TRUE(setValue(RootKey::CurrentUser,
                         "Software\\VB and VBA Program Settings\\Lentaro\\Recent Files", "bin",
                         Value::binary("True"))
                    .ok());
    EXPECT_EQ(getAllSettings("Lentaro", "Recent Files"),
              (Pairs{{"3", "/f3"}, {"1", "/new"}, {"2", "/f2"}}));
    EXPECT_EQ(getSetting("Lentaro", "Recent Files", "bin", "fallback"), "fallback");
}

TEST_F(Settings, DeleteSettingRemovesOneKeyOrTheWholeSection)
{
    ASSERT_TRUE(saveSetting("Lentaro", "Recent Files", "1", "/a").ok());
    ASSERT_TRUE(saveSetting("Lentaro", "Recent Files", "2", "/b").ok());
    ASSERT_TRUE(saveSetting("Lentaro", "Previous", "AutoplayString", "play").ok());

    ASSERT_TRUE(deleteSetting("Lentaro", "Recent Files", "1").ok());
    EXPECT_EQ(getAllSettings("Lentaro", "Recent Files"), (Pairs{{"2", "/b"}}));
    EXPECT_EQ(deleteSetting("Lentaro", "Recent Files", "1").status, Status::ValueNotFound);

    ASSERT_TRUE(deleteSetting("Lentaro", "recent files").ok());
    EXPECT_EQ(getAllSettings("Lentaro", "Recent Files"), Pairs{});
    EXPECT_EQ(deleteSetting("Lentaro", "Recent Files").status, Status::KeyNotFound);
    EXPECT_EQ(deleteSetting("Lentaro", "Recent Files", "2").status, Status::KeyNotFound);
    EXPECT_EQ(getSetting("Lentaro", "Previous", "AutoplayString"), "play");
}

TEST_F(Settings, EmptyOrCompoundNamesAreRefused)
{
    const std::pair<const char*, Result> cases[] = {
        {"no application", saveSetting("", "S", "k", "t")},
        {"no section", saveSetting("A", "", "k", "t")},
        {"no key", saveSetting("A", "S", "", "t")},
        {"backslash in application", saveSetting("A\\B", "S", "k", "t")},
        {"delete without key", deleteSetting("A", "S", "")},
        {"delete without section", deleteSetting("A", "")},
    };
    for (const auto& [what, result] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(result.status, Status::InvalidName);
    }
    EXPECT_FALSE(fs::exists(userHive()));
}

} // namespace
} // namespace lentaro::registry
