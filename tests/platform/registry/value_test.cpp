#include "platform/registry/Value.h"

#include <gtest/gtest.h>

namespace lentaro::registry {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Value, HelpersLayOutBytesAsTheRegistryTypesDo)
{
    struct Case {
        const char* what;
        Value value;
        ValueType type;
        Bytes data;
    };
    const Case cases[] = {
        {"string ends in one zero", Value::string("ab"), ValueType::String, {'a', 'b', 0}},
        {"empty string is one zero", Value::string(""), ValueType::String, {0}},
        {"expand string", Value::expandString("%H%"), ValueType::ExpandString, {'%', 'H', '%', 0}},
        {"dword is little-endian", Value::dword(0x01020304), ValueType::Dword, {4, 3, 2, 1}},
        {"binary text has no zero", Value::binary("True"), ValueType::Binary, {'T', 'r', 'u', 'e'}},
        {"multi-string",
         Value::multiString({"a", "bc"}),
         ValueType::MultiString,
         {'a', 0, 'b', 'c', 0, 0}},
        {"empty multi-string", Value::multiString({}), ValueType::MultiString, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.value.type, c.type);
        EXPECT_EQ(c.value.data, c.data);
    }
}

TEST(Value, TextDropsOnlyTheFinalZeroAndOnlyForTextTypes)
{
    EXPECT_EQ(Value::string("Grüße").text(), "Grüße");
    EXPECT_EQ((Value{ValueType::String, {'a', 0, 'b', 0}}.text()), std::string("a\0b", 3));
    EXPECT_EQ((Value{ValueType::String, {'n', 'o', 'z'}}.text()), "noz"); // written without zero
    EXPECT_EQ(Value::expandString("%HOME%").text(), "%HOME%");
    EXPECT_EQ(Value::binary("True").text(), std::nullopt);
    EXPECT_EQ(Value::binary("True").bytes(), "True");
}

TEST(Value, NumberReadsBothByteOrdersAndRefusesOtherSizes)
{
    EXPECT_EQ(Value::dword(0xDEADBEEF).number(), 0xDEADBEEFu);
    EXPECT_EQ((Value{ValueType::DwordBigEndian, {0, 0, 1, 0}}.number()), 256u);
    EXPECT_EQ((Value{ValueType::Dword, {1, 2, 3}}.number()), std::nullopt);
    EXPECT_EQ(Value::binary("abcd").number(), std::nullopt);
}

TEST(Value, TextsSplitAMultiStringAndTolerateAMissingTerminator)
{
    EXPECT_EQ(Value::multiString({"one", "two"}).texts(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Value::multiString({}).texts(), std::vector<std::string>{});
    EXPECT_EQ((Value{ValueType::MultiString, {'a', 0, 'b'}}.texts()),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Value::string("a").texts(), std::nullopt);
}

} // namespace
} // namespace lentaro::registry
