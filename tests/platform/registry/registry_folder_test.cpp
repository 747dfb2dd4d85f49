#include "platform/registry/Registry.h"
#include "platform/registry/Settings.h"

#include "tests/platform/registry/temp_registry_folder.h"

#include <optional>

namespace lentaro::registry {
namespace {

// Saves the variables that choose the folder and puts them back afterwards.
class RegistryFolderChoice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : variables) {
            const char* value = std::getenv(name);
            m_saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
        m_temp = test::makeTempFolder();
    }

    void TearDown() override
    {
        for (std::size_t i = 0; i < std::size(variables); ++i) {
            if (m_saved[i])
                ::setenv(variables[i], m_saved[i]->c_str(), 1);
            else
                ::unsetenv(variables[i]);
        }
        fs::remove_all(m_temp);
    }

    static void set(const char* name, const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    static constexpr const char* variables[] = {"LENTARO_REGISTRY_DIR", "XDG_CONFIG_HOME", "HOME"};
    fs::path m_temp;

private:
    std::vector<std::optional<std::string>> m_saved;
};

TEST_F(RegistryFolderChoice, OverrideThenXdgConfigHomeThenHome)
{
    using Maybe = std::optional<std::string>;
    struct Case {
        const char* what;
        Maybe override, xdg, home;
        std::string folder;
    };
    const Case cases[] = {
        {"override wins", "/o", "/x", "/h", "/o"},
        {"xdg config home", std::nullopt, "/x", "/h", "/x/lentaro"},
        {"empty override is unset", "", "/x", "/h", "/x/lentaro"},
        {"relative xdg is ignored", std::nullopt, "rel", "/h", "/h/.config/lentaro"},
        {"empty xdg is unset", std::nullopt, "", "/h", "/h/.config/lentaro"},
        {"nothing set", std::nullopt, std::nullopt, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        set("LENTARO_REGISTRY_DIR", c.override);
        set("XDG_CONFIG_HOME", c.xdg);
        set("HOME", c.home);
        EXPECT_EQ(registryFolder(), fs::path(c.folder));
    }
}

TEST_F(RegistryFolderChoice, TheStoreWritesWhereTheEnvironmentPoints)
{
    const fs::path nested = m_temp / "not" / "yet" / "made";
    ::setenv("LENTARO_REGISTRY_DIR", nested.c_str(), 1);
    ASSERT_TRUE(saveSetting("Lentaro", "Previous", "AutoplayString", "play").ok());
    ASSERT_TRUE(createKey(RootKey::LocalMachine, "SOFTWARE").ok());
    EXPECT_TRUE(fs::is_regular_file(nested / "user.hive"));
    EXPECT_TRUE(fs::is_regular_file(nested / "machine.hive"));

    ::unsetenv("LENTARO_REGISTRY_DIR");
    ::setenv("XDG_CONFIG_HOME", m_temp.c_str(), 1);
    EXPECT_EQ(getSetting("Lentaro", "Previous", "AutoplayString", "unset"), "unset");
    ASSERT_TRUE(saveSetting("Lentaro", "Previous", "AutoplayString", "other").ok());
    EXPECT_TRUE(fs::is_regular_file(m_temp / "lentaro" / "user.hive"));

    ::setenv("LENTARO_REGISTRY_DIR", nested.c_str(), 1);
    EXPECT_EQ(getSetting("Lentaro", "Previous", "AutoplayString"), "play");
}

TEST_F(RegistryFolderChoice, NoFolderIsAnErrorNotACrash)
{
    const Result result = saveSetting("Lentaro", "Previous", "AutoplayString", "play");
    EXPECT_EQ(result.status, Status::IoError);
    EXPECT_NE(result.message.find("HOME"), std::string::npos) << result.message;
    EXPECT_EQ(getSetting("Lentaro", "Previous", "AutoplayString", "fallback"), "fallback");
}

} // namespace
} // namespace lentaro::registry
