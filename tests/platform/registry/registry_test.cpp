#include "platform/registry/Registry.h"

#include "tests/platform/registry/temp_registry_folder.h"

namespace lentaro::registry {
namespace {

using test::TempRegistryFolder;
using Names = std::vector<std::string>;

constexpr std::string_view prefsKey = "Software\\VB and VBA Program Settings\\Lentaro\\Preferences";

class Registry : public TempRegistryFolder
{
protected:
    Value read(RootKey root, std::string_view path, std::string_view name)
    {
        Value value;
        const Result result = getValue(root, path, name, value);
        EXPECT_TRUE(result.ok()) << result.message;
        return value;
    }

    Names subKeys(RootKey root, std::string_view path)
    {
        Names names;
        const Result result = subKeyNames(root, path, names);
        EXPECT_TRUE(result.ok()) << result.message;
        return names;
    }

    Names values(RootKey root, std::string_view path)
    {
        Names names;
        const Result result = valueNames(root, path, names);
        EXPECT_TRUE(result.ok()) << result.message;
        return names;
    }
};

TEST_F(Registry, EveryValueTypeComesBackExactlyAlsoFromDisk)
{
    std::string allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes += char(i);
    const std::pair<const char*, Value> cases[] = {
        {"string", Value::string("C:\\music\\a.wav")},
        {"utf-8 string", Value::string("Grüße ♪")},
        {"empty string", Value::string("")},
        {"expand string", Value::expandString("%HOME%/lentaro")},
        {"dword", Value::dword(0xFFFFFFFFu)},
        {"big-endian dword", Value{ValueType::DwordBigEndian, {0, 0, 1, 0}}},
        {"binary text", Value::binary("44100")},
        {"binary of every byte", Value::binary(allBytes)},
        {"empty binary", Value::binary("")},
        {"multi-string", Value::multiString({"one", "two", "three"})},
        {"unknown type", Value{ValueType(11), {9, 8, 7}}},
    };
    ASSERT_TRUE(createKey(RootKey::CurrentUser, prefsKey).ok());
    for (const auto& [name, value] : cases) {
        ASSERT_TRUE(setValue(RootKey::CurrentUser, prefsKey, name, value).ok()) << name;
        EXPECT_EQ(read(RootKey::CurrentUser, prefsKey, name), value) << name;
    }
    reopenFromDisk();
    for (const auto& [name, value] : cases)
        EXPECT_EQ(read(RootKey::CurrentUser, prefsKey, name), value) << name;
}

TEST_F(Registry, NamesMatchInAnyCaseAndKeepTheirFirstSpelling)
{
    ASSERT_TRUE(createKey(RootKey::CurrentUser, "Software\\Lentaro").ok());
    EXPECT_TRUE(createKey(RootKey::CurrentUser, "SOFTWARE\\lentaro\\Recent Files").ok());
    EXPECT_EQ(subKeys(RootKey::CurrentUser, ""), Names{"Software"});
    EXPECT_EQ(subKeys(RootKey::CurrentUser, "software"), Names{"Lentaro"});

    ASSERT_TRUE(
        setValue(RootKey::CurrentUser, "software\\LENTARO", "AutoSlow", Value::binary("True"))
            .ok());
    ASSERT_TRUE(
        setValue(RootKey::CurrentUser, "Software\\Lentaro", "AUTOSLOW", Value::binary("False"))
            .ok());
    EXPECT_EQ(read(RootKey::CurrentUser, "Software\\Lentaro", "autoslow"), Value::binary("False"));
    EXPECT_EQ(values(RootKey::CurrentUser, "Software\\Lentaro"), Names{"AutoSlow"});

    // Only ASCII letters fold; other characters must match exactly.
    ASSERT_TRUE(createKey(RootKey::CurrentUser, "Ä").ok());
    EXPECT_EQ(findKey(RootKey::CurrentUser, "ä").status, Status::KeyNotFound);

    reopenFromDisk();
    EXPECT_EQ(read(RootKey::CurrentUser, "SOFTWARE\\LENTARO", "AutoSlow"), Value::binary("False"));
    EXPECT_EQ(subKeys(RootKey::CurrentUser, "Software\\Lentaro"), Names{"Recent Files"});
}

TEST_F(Registry, EnumerationSortsKeysByFoldedNameAndKeepsValuesInOrderOfCreation)
{
    for (const char* name : {"delta", "Bravo", "alpha", "Charlie"}) {
        ASSERT_TRUE(createKey(RootKey::CurrentUser, std::string("Order\\") + name).ok());
    }
    for (const char* name : {"4", "2", "zeta", "Alpha", "3"}) {
        ASSERT_TRUE(setValue(RootKey::CurrentUser, "Order", name, Value::string(name)).ok());
    }
    // Replacing or deleting a value leaves the order of the others alone.
    ASSERT_TRUE(setValue(RootKey::CurrentUser, "Order", "2", Value::string("again")).ok());
    ASSERT_TRUE(deleteValue(RootKey::CurrentUser, "Order", "zeta").ok());

    const Names keys{"alpha", "Bravo", "Charlie", "delta"};
    const Names valueOrder{"4", "2", "Alpha", "3"};
    EXPECT_EQ(subKeys(RootKey::CurrentUser, "Order"), keys);
    EXPECT_EQ(values(RootKey::CurrentUser, "Order"), valueOrder);
    reopenFromDisk();
    EXPECT_EQ(subKeys(RootKey::CurrentUser, "Order"), keys);
    EXPECT_EQ(values(RootKey::CurrentUser, "Order"), valueOrder);
}

TEST_F(Registry, DeletingAKeyTakesItsWholeSubtreeAndNothingElse)
{
    for (const char* path : {"Tree\\Branch\\Leaf\\Bud", "Tree\\Branch\\Twig", "Tree\\Other"}) {
        ASSERT_TRUE(createKey(RootKey::CurrentUser, path).ok());
        ASSERT_TRUE(setValue(RootKey::CurrentUser, path, "v", Value::dword(1)).ok());
    }
    ASSERT_TRUE(setValue(RootKey::CurrentUser, "Tree", "kept", Value::dword(2)).ok());

    ASSERT_TRUE(deleteKey(RootKey::CurrentUser, "tree\\BRANCH").ok());
    EXPECT_EQ(findKey(RootKey::CurrentUser, "Tree\\Branch").status, Status::KeyNotFound);
    EXPECT_EQ(findKey(RootKey::CurrentUser, "Tree\\Branch\\Leaf\\Bud").status, Status::KeyNotFound);
    EXPECT_EQ(subKeys(RootKey::CurrentUser, "Tree"), Names{"Other"});
    EXPECT_EQ(read(RootKey::CurrentUser, "Tree", "kept"), Value::dword(2));

    // A key made again under the old name starts empty.
    ASSERT_TRUE(createKey(RootKey::CurrentUser, "Tree\\Branch").ok());
    EXPECT_EQ(subKeys(RootKey::CurrentUser, "Tree\\Branch"), Names{});

    reopenFromDisk();
    EXPECT_EQ(subKeys(RootKey::CurrentUser, "Tree"), (Names{"Branch", "Other"}));
    EXPECT_EQ(subKeys(RootKey::CurrentUser, "Tree\\Branch"), Names{});
}

TEST_F(Registry, MissingKeysAndValuesAndBadNamesAreReportedAndChangeNothing)
{
    ASSERT_TRUE(createKey(RootKey::CurrentUser, "Here").ok());
    ASSERT_TRUE(setValue(RootKey::CurrentUser, "Here", "v", Value::dword(7)).ok());
    const std::string before = test::readBytes(userHive());

    Value value;
    Names names;
    const std::string longName(256, 'x');
    const std::pair<const char*, std::pair<Result, Status>> cases[] = {
        {"get from a missing key",
         {getValue(RootKey::CurrentUser, "Gone", "v", value), Status::KeyNotFound}},
        {"get a missing value",
         {getValue(RootKey::CurrentUser, "Here", "w", value), Status::ValueNotFound}},
        {"get a missing default",
         {getValue(RootKey::CurrentUser, "Here", "", value), Status::ValueNotFound}},
        {"set in a missing key",
         {setValue(RootKey::CurrentUser, "Here\\Gone", "v", Value::dword(1)), Status::KeyNotFound}},
        {"delete a missing value",
         {deleteValue(RootKey::CurrentUser, "Here", "w"), Status::ValueNotFound}},
        {"delete from a missing key",
         {deleteValue(RootKey::CurrentUser, "Gone", "v"), Status::KeyNotFound}},
        {"delete a missing key",
         {deleteKey(RootKey::CurrentUser, "Here\\Gone"), Status::KeyNotFound}},
        {"delete below a missing key",
         {deleteKey(RootKey::CurrentUser, "Gone\\Gone"), Status::KeyNotFound}},
        {"list a missing key",
         {subKeyNames(RootKey::CurrentUser, "Gone", names), Status::KeyNotFound}},
        {"list values of a missing key",
         {valueNames(RootKey::CurrentUser, "Gone", names), Status::KeyNotFound}},
        {"find a missing key", {findKey(RootKey::CurrentUser, "Here\\Gone"), Status::KeyNotFound}},
        {"leading backslash", {createKey(RootKey::CurrentUser, "\\Here"), Status::InvalidName}},
        {"empty name inside",
         {createKey(RootKey::CurrentUser, "Here\\\\There"), Status::InvalidName}},
        {"key name too long", {createKey(RootKey::CurrentUser, longName), Status::InvalidName}},
        {"delete the root", {deleteKey(RootKey::CurrentUser, ""), Status::InvalidName}},
        {"delete the classes root", {deleteKey(RootKey::ClassesRoot, "\\"), Status::InvalidName}},
        {"users root", {createKey(RootKey::Users, ".DEFAULT"), Status::UnknownRoot}},
        {"performance data", {findKey(RootKey::PerformanceData, ""), Status::UnknownRoot}},
        {"a number that is no root", {findKey(RootKey(42), ""), Status::UnknownRoot}},
    };
    for (const auto& [what, outcome] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(outcome.first.status, outcome.second);
        EXPECT_FALSE(outcome.first.message.empty());
    }
    EXPECT_EQ(test::readBytes(userHive()), before);
    EXPECT_FALSE(fs::exists(machineHive()));
    EXPECT_EQ(getValue(RootKey::CurrentUser, "Here\\Gone", "v", value).message,
              "The registry key HKEY_CURRENT_USER\\Here\\Gone does not exist.");
}

TEST_F(Registry, TrailingBackslashAndDefaultValueWorkAsTheAutoPlayKeyNeedsThem)
{
    const std::string_view shell = "SOFTWARE\\Classes\\AudioCD\\shell\\";
    Value value;
    EXPECT_EQ(getValue(RootKey::LocalMachine, shell, "", value).status, Status::KeyNotFound);

    ASSERT_TRUE(createKey(RootKey::LocalMachine, shell).ok());
    ASSERT_TRUE(setValue(RootKey::LocalMachine, shell, "", Value::string("play")).ok());
    EXPECT_EQ(read(RootKey::LocalMachine, "SOFTWARE\\Classes\\AudioCD\\shell", "").text(), "play");
    ASSERT_TRUE(setValue(RootKey::LocalMachine, shell, "", Value{ValueType::String, {}}).ok());
    EXPECT_EQ(read(RootKey::LocalMachine, shell, "").text(), "");

    EXPECT_TRUE(fs::exists(machineHive()));
    EXPECT_EQ(findKey(RootKey::CurrentUser, "SOFTWARE\\Classes").status, Status::KeyNotFound);
}

TEST_F(Registry, RootsMapOntoTheTwoHives)
{
    // HKEY_CLASSES_ROOT is the machine hive's SOFTWARE\Classes, both ways round.
    EXPECT_EQ(subKeys(RootKey::ClassesRoot, ""), Names{});
    ASSERT_TRUE(createKey(RootKey::ClassesRoot, "AudioCD\\shell").ok());
    ASSERT_TRUE(setValue(RootKey::ClassesRoot, "AudioCD\\shell", "", Value::string("play")).ok());
    EXPECT_EQ(read(RootKey::LocalMachine, "Software\\Classes\\AudioCD\\Shell", "").text(), "play");
    ASSERT_TRUE(createKey(RootKey::LocalMachine, "SOFTWARE\\Classes\\.wav").ok());
    EXPECT_EQ(subKeys(RootKey::ClassesRoot, ""), (Names{".wav", "AudioCD"}));

    ASSERT_TRUE(setValue(RootKey::CurrentConfig, "", "profile", Value::dword(1)).ok());
    EXPECT_EQ(read(RootKey::LocalMachine, "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current",
                   "profile"),
              Value::dword(1));

    ASSERT_TRUE(createKey(RootKey::CurrentUser, "Software\\Lentaro").ok());
    EXPECT_EQ(subKeys(RootKey::LocalMachine, ""), (Names{"SOFTWARE", "SYSTEM"}));
    EXPECT_EQ(subKeys(RootKey::CurrentUser, ""), Names{"Software"});
}

} // namespace
} // namespace lentaro::registry
