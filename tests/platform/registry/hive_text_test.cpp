#include "platform/registry/HiveText.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace lentaro::registry {
namespace {

std::string allBytes()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    return bytes;
}

// A tree with every awkward name and byte the format has to carry.
Key awkwardTree()
{
    Key root;
    bool created = false;
    root.setValue("", Value::string("root default"));
    Key& prefs =
        root.make({"Software", "VB and VBA Program Settings", "Lentaro", "Preferences"}, created);
    prefs.setValue("AutoSlow", Value::binary("True"));
    prefs.setValue("Show Tips at Startup", Value::binary("False"));
    Key& odd = root.make({"Odd \"quoted\" name", "Grüße", "tab\there"}, created);
    odd.setValue("all bytes", Value::binary(allBytes()));
    odd.setValue("back\\slash \"and\" quote", Value{ValueType(0xFFFFFFFFu), {1, 2}});
    odd.setValue(std::string("nul\0name", 8), Value::string(""));
    odd.setValue("\xff\xfe not utf-8", Value::binary(""));
    odd.setValue("Ünïcödé", Value::string("ß → ∞ 🎵"));
    odd.setValue("count", Value::dword(42));
    odd.setValue("list", Value::multiString({"a", "b"}));
    root.make({"empty key"}, created);
    return root;
}

void expectSameTree(const Key& a, const Key& b)
{
    ASSERT_EQ(a.name(), b.name());
    ASSERT_EQ(a.values().size(), b.values().size()) << "in key " << a.name();
    for (std::size_t i = 0; i < a.values().size(); ++i) {
        EXPECT_EQ(a.values()[i].name, b.values()[i].name);
        EXPECT_EQ(a.values()[i].value, b.values()[i].value) << "value " << a.values()[i].name;
    }
    const std::vector<const Key*> aKeys = a.subKeys(), bKeys = b.subKeys();
    ASSERT_EQ(aKeys.size(), bKeys.size()) << "in key " << a.name();
    for (std::size_t i = 0; i < aKeys.size(); ++i)
        expectSameTree(*aKeys[i], *bKeys[i]);
}

std::uint32_t crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// A file with a correct end line around any body, to reach the checks behind the checksum.
std::string sealed(const std::string& body)
{
    const std::string text = "lentaro-registry 1\n" + body;
    char end[32];
    std::snprintf(end, sizeof end, "end %08x\n", unsigned(crc32(text)));
    return text + end;
}

TEST(HiveText, EmptyHiveIsHeaderAndStandardCrc32EndLine)
{
    EXPECT_EQ(formatHive(Key()), "lentaro-registry 1\nend 94c68474\n");
}

TEST(HiveText, EveryNameAndByteSurvivesARoundTrip)
{
    const Key original = awkwardTree();
    const std::string text = formatHive(original);
    Key parsed;
    std::string problem;
    ASSERT_TRUE(parseHive(text, parsed, problem)) << problem;
    expectSameTree(original, parsed);
    EXPECT_EQ(formatHive(parsed), text);
}

TEST(HiveText, TextIsReadableUtf8WithoutControlBytes)
{
    const std::string text = formatHive(awkwardTree());
    for (unsigned char c : text) {
        if (c == '\n')
            continue;
        ASSERT_TRUE(c >= 0x20 && c != 0x7F) << "byte " << int(c);
    }
    EXPECT_NE(text.find("value 3 \"AutoSlow\" \"True\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"Grüße\""), std::string::npos);
    EXPECT_NE(text.find("\"Ünïcödé\" \"ß → ∞ 🎵\\x00\""), std::string::npos);
    EXPECT_NE(text.find("\"\\xff\\xfe not utf-8\""), std::string::npos);
    EXPECT_NE(text.find("key \"empty key\"\n"), std::string::npos);
}

TEST(HiveText, EveryCutOrAlteredByteIsRefused)
{
    const std::string text = formatHive(awkwardTree());
    for (std::size_t size = 0; size < text.size(); ++size) {
        Key parsed;
        std::string problem;
        ASSERT_FALSE(parseHive(text.substr(0, size), parsed, problem)) << "cut at " << size;
        EXPECT_FALSE(problem.empty());
    }
    for (std::size_t at = 0; at < text.size(); ++at) {
        std::string altered = text;
        altered[at] = char(altered[at] ^ 0x01);
        Key parsed;
        std::string problem;
        ASSERT_FALSE(parseHive(altered, parsed, problem)) << "byte " << at << " altered";
    }
    Key parsed;
    std::string problem;
    EXPECT_FALSE(parseHive(text + "more\n", parsed, problem));
}

TEST(HiveText, MalformedLinesAreRefusedWithTheirLineNumber)
{
    struct Case {
        const char* what;
        std::string body;
        int line = 3;
    };
    const Case cases[] = {
        {"empty line", "\n"},
        {"unknown entry", "bogus\n"},
        {"key without names", "key\n"},
        {"empty key name", "key \"\"\n"},
        {"backslash in a key name", "key \"a\\x5cb\"\n"},
        {"key name of 256 bytes", "key \"" + std::string(256, 'k') + "\"\n"},
        {"value without data", "value 1 \"a\"\n"},
        {"type not a number", "value x \"a\" \"b\"\n"},
        {"type beyond 32 bits", "value 4294967296 \"a\" \"b\"\n"},
        {"blank after the data", "value 1 \"a\" \"b\" \n"},
        {"short escape", "value 1 \"a\" \"\\x4\"\n"},
        {"unknown escape", "value 1 \"a\" \"\\n\"\n"},
        {"raw control byte", "value 1 \"a\" \"\tb\"\n"},
        {"unterminated quote", "value 1 \"a\" \"b\n"},
        {"value twice, either case", "value 1 \"a\" \"b\"\nvalue 1 \"A\" \"c\"\n", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Key parsed;
        std::string problem;
        EXPECT_FALSE(parseHive(sealed("key \"k\"\n" + c.body), parsed, problem));
        EXPECT_EQ(problem.rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << problem;
    }
}

TEST(HiveText, ReadsWhatAPersonMightWriteByHand)
{
    Key parsed;
    std::string problem;
    ASSERT_TRUE(parseHive(sealed("value 4 \"top\" \"\\x2A\\x00\\x00\\x00\"\n"
                                 "key \"A\" \"B\"\n"
                                 "value 1 \"x\" \"y\\x00\"\n"
                                 "key \"a\"\n"
                                 "value 0 \"none\" \"\"\n"),
                          parsed, problem))
        << problem;
    EXPECT_EQ(parsed.value("top")->number(), 42u);
    ASSERT_NE(parsed.find({"a", "b"}), nullptr);
    EXPECT_EQ(parsed.find({"a", "b"})->value("X")->text(), "y");
    EXPECT_EQ(parsed.subKey("a")->value("none")->type, ValueType::None);
}

} // namespace
} // namespace lentaro::registry
