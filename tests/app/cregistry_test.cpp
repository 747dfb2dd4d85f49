#include "tests/app/app_fixture.h"

#include "app/CRegistry.h"
#include "platform/registry/Registry.h"
#include "platform/shell/executablename.h"
#include "trace/runtimeerror.h"

#include <functional>

namespace lentaro::test {
namespace {

using registry::RootKey;
using registry::Value;
using registry::ValueType;

class CRegistryTest : public AppTest
{
protected:
    // A value stored directly, as another program would have left it.
    void store(const char* key, const char* name, const Value& value)
    {
        ASSERT_TRUE(registry::createKey(RootKey::CurrentUser, key).ok());
        ASSERT_TRUE(registry::setValue(RootKey::CurrentUser, key, name, value).ok());
    }

    std::optional<Value> stored(const char* key, const char* name)
    {
        Value value;
        if (!registry::getValue(RootKey::CurrentUser, key, name, value).ok())
            return std::nullopt;
        return value;
    }

    CRegistry reg;
};

TEST_F(CRegistryTest, AFreshInstanceWorksUnderTheClassesRoot)
{
    EXPECT_EQ(reg.RootKey(), RootKey::ClassesRoot);
    ASSERT_TRUE(reg.CreateKey(QStringLiteral("Lentaro.Loop\\shell\\open")));
    EXPECT_TRUE(reg.KeyExists(QStringLiteral("lentaro.loop\\SHELL")));
    EXPECT_TRUE(registry::findKey(RootKey::LocalMachine, "SOFTWARE\\Classes\\Lentaro.Loop").ok());

    reg.Init(RootKey::CurrentUser);
    EXPECT_EQ(reg.RootKey(), RootKey::CurrentUser);
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("Lentaro.Loop")));
}

TEST_F(CRegistryTest, AnEmptyKeyNameIsRefusedWithItsErrorBeforeAnyChange)
{
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"CreateKey", [&] { reg.CreateKey({}); }},
        {"DeleteKey", [&] { reg.DeleteKey({}); }},
        {"DeleteValue", [&] { reg.DeleteValue({}, QStringLiteral("v")); }},
        {"KeyExists", [&] { reg.KeyExists({}); }},
        {"SetValue", [&] { reg.SetValue({}, QStringLiteral("v"), 1, ValueType::Dword); }},
        {"ValueType", [&] { reg.ValueType({}, QStringLiteral("v")); }},
    };
    reg.setRootKey(RootKey::CurrentUser);
    for (const auto& [member, call] : calls) {
        SCOPED_TRACE(member);
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), std::int32_t(0x80044651u));
            EXPECT_EQ(error.description(), QStringLiteral("Invalid KeyName value"));
            EXPECT_EQ(error.source(), executableName() + QStringLiteral(".CRegistry"));
        }
    }
    std::vector<std::string> values;
    ASSERT_TRUE(registry::valueNames(RootKey::CurrentUser, "", values).ok());
    EXPECT_TRUE(values.empty());
}

TEST_F(CRegistryTest, ListingsOfTheRootAMissingKeyAndAKeyWithoutValues)
{
    reg.setRootKey(RootKey::CurrentUser);
    ASSERT_TRUE(reg.CreateKey(QStringLiteral("Software")));
    ASSERT_TRUE(reg.CreateKey(QStringLiteral("Console")));

    QStringList names{QStringLiteral("stale")};
    EXPECT_EQ(reg.GetAllSubKeys(QString(), names), 2);
    EXPECT_EQ(names, (QStringList{QStringLiteral("Console"), QStringLiteral("Software")}));

    names = QStringList{QStringLiteral("stale")};
    EXPECT_EQ(reg.GetAllSubKeys(QStringLiteral("Missing"), names), 0);
    EXPECT_TRUE(names.isEmpty());

    names = QStringList{QStringLiteral("stale")};
    EXPECT_EQ(reg.GetAllValueNames(QStringLiteral("Software"), names), 0);
    EXPECT_TRUE(names.isEmpty());

    ASSERT_TRUE(reg.SetValue(QStringLiteral("Software"), QStringLiteral("b"), 1, ValueType::Dword));
    ASSERT_TRUE(reg.SetValue(QStringLiteral("Software"), QStringLiteral("a"), 2, ValueType::Dword));
    EXPECT_EQ(reg.GetAllValueNames(QStringLiteral("Software"), names), 2);
    EXPECT_EQ(names, (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
}

TEST_F(CRegistryTest, ValuesRoundTripAsTheirTypesAsk)
{
    qputenv("LENTARO_TEST_FOLDER", "/music");
    struct Case {
        const char* name;
        QVariant value;
        ValueType asked;
        ValueType storedType;
        QVariant readBack;
    };
    const Case cases[] = {
        {"text", QStringLiteral("Grüße"), ValueType::String, ValueType::String,
         QStringLiteral("Grüße")},
        {"empty text", QString(), ValueType::String, ValueType::String, QString()},
        {"number as text", 44100, ValueType::String, ValueType::String, QStringLiteral("44100")},
        {"reference", QStringLiteral("%LENTARO_TEST_FOLDER%/a.wav"), ValueType::String,
         ValueType::ExpandString, QStringLiteral("/music/a.wav")},
        {"unknown reference stays", QStringLiteral("%LENTARO_NO_SUCH_VARIABLE%"),
         ValueType::ExpandString, ValueType::ExpandString,
         QStringLiteral("%LENTARO_NO_SUCH_VARIABLE%")},
        {"one percent sign", QStringLiteral("50%"), ValueType::ExpandString, ValueType::String,
         QStringLiteral("50%")},
        {"adjacent percent signs", QStringLiteral("a%%b"), ValueType::String, ValueType::String,
         QStringLiteral("a%%b")},
        {"bytes", QByteArray("\0\1\2", 3), ValueType::Binary, ValueType::Binary,
         QByteArray("\0\1\2", 3)},
        {"number", -2, ValueType::Dword, ValueType::Dword, -2},
        {"16-bit number", QVariant::fromValue(short(300)), ValueType::Dword, ValueType::Dword, 300},
        {"big-endian asked", 256, ValueType::DwordBigEndian, ValueType::Dword, 256},
    };
    reg.setRootKey(RootKey::CurrentUser);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(reg.SetValue(QStringLiteral("Software\\Lentaro"), c.name, c.value, c.asked));
        EXPECT_EQ(reg.ValueType(QStringLiteral("Software\\Lentaro"), c.name), c.storedType);
        EXPECT_EQ(reg.GetValue(QStringLiteral("Software\\Lentaro"), c.name), c.readBack);
    }
    EXPECT_EQ(stored("Software\\Lentaro", "text"), Value::string("Grüße"));
    EXPECT_EQ(stored("Software\\Lentaro", "empty text"), Value::string(""));
    qunsetenv("LENTARO_TEST_FOLDER");
}

TEST_F(CRegistryTest, AValueOfTheWrongKindWritesNothing)
{
    struct Case {
        const char* name;
        QVariant value;
        ValueType asked;
    };
    const Case cases[] = {
        {"text as number", QStringLiteral("12"), ValueType::Dword},
        {"large number", QVariant::fromValue(qint64(1) << 40), ValueType::Dword},
        {"truth value as number", true, ValueType::Dword},
        {"number as bytes", 12, ValueType::Binary},
        {"unknown type", QStringLiteral("x"), ValueType(11)},
    };
    reg.setRootKey(RootKey::CurrentUser);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(reg.SetValue(QStringLiteral("Software"), c.name, c.value, c.asked));
        EXPECT_EQ(reg.ValueType(QStringLiteral("Software"), c.name), ValueType::None);
    }
}

TEST_F(CRegistryTest, StoredValuesReadAsProgramValues)
{
    const char* key = "Software\\Other";
    store(key, "big-endian", Value{ValueType::DwordBigEndian, {0, 0, 1, 0}});
    store(key, "multi", Value::multiString({"one", "two"}));
    store(key, "string without its zero", Value{ValueType::String, {'a', 'b'}});
    store(key, "empty string data", Value{ValueType::String, {}});
    store(key, "odd type", Value{ValueType(11), {9, 8, 7}});
    store(key, "short dword", Value{ValueType::Dword, {1, 2}});

    reg.setRootKey(RootKey::CurrentUser);
    const QString k = QString::fromLatin1(key);
    EXPECT_EQ(reg.GetValue(k, "big-endian"), QVariant(256));
    EXPECT_EQ(reg.GetValue(k, "multi"), QVariant(QString::fromLatin1("one\0two\0", 8)));
    EXPECT_EQ(reg.GetValue(k, "string without its zero"), QVariant(QStringLiteral("ab")));
    EXPECT_EQ(reg.GetValue(k, "empty string data"), QVariant(QString()));
    EXPECT_EQ(reg.GetValue(k, "odd type"), QVariant(QByteArray("\x09\x08\x07")));
    EXPECT_EQ(reg.GetValue(k, "short dword"), QVariant(QByteArray("\x01\x02")));
    EXPECT_EQ(reg.GetValue(k, "missing", QStringLiteral("default")),
              QVariant(QStringLiteral("default")));
    EXPECT_FALSE(reg.GetValue(QStringLiteral("Software\\Missing"), "x").isValid());
}

TEST_F(CRegistryTest, DeletingValuesAndKeys)
{
    reg.setRootKey(RootKey::CurrentUser);
    ASSERT_TRUE(reg.SetValue(QStringLiteral("Software\\A\\B"), "v", 1, ValueType::Dword));
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("Software\\A\\B"), "v"));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("Software\\A\\B"), "v"));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("Software\\Missing"), "v"));

    EXPECT_TRUE(reg.DeleteKey(QStringLiteral("Software\\A")));
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("Software\\A\\B")));
    EXPECT_FALSE(reg.DeleteKey(QStringLiteral("Software\\A")));
    EXPECT_TRUE(reg.KeyExists(QStringLiteral("Software")));
}

} // namespace
} // namespace lentaro::test
