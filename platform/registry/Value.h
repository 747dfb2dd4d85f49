#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lentaro::registry {

// Type tags of stored values, numbered as the registry types they stand for. A value may
// carry any other tag too; such values are kept and returned as plain bytes.
enum class ValueType : std::uint32_t {
    None = 0,
    String = 1,         // REG_SZ: text followed by one zero byte
    ExpandString = 2,   // REG_EXPAND_SZ: as String, may hold %VARIABLE% references
    Binary = 3,         // REG_BINARY
    Dword = 4,          // REG_DWORD: 4 bytes, little-endian
    DwordBigEndian = 5, // REG_DWORD_BIG_ENDIAN
    MultiString = 7     // REG_MULTI_SZ: texts each followed by a zero byte, then one more zero
};

// One stored value: its type tag and its bytes, kept exactly as written.
struct Value {
    ValueType type = ValueType::Binary;
    std::vector<std::uint8_t> data;

    static Value string(std::string_view text);
    static Value expandString(std::string_view text);
    static Value dword(std::uint32_t number);
    static Value binary(std::string_view bytes);
    static Value binary(std::vector<std::uint8_t> bytes);
    // An empty text cannot be stored inside a list: it reads back as the list's end.
    static Value multiString(const std::vector<std::string>& texts);

    // The text of a String or ExpandString value, without its final zero byte when it has one.
    std::optional<std::string> text() const;
    // The number of a Dword or DwordBigEndian value of exactly 4 bytes.
    std::optional<std::uint32_t> number() const;
    // The texts of a MultiString value; a missing final terminator is tolerated.
    std::optional<std::vector<std::string>> texts() const;
    // The bytes as they are, whatever the type (binary values that hold text).
    std::string bytes() const;

    bool operator==(const Value& other) const { return type == other.type && data == other.data; }
    bool operator!=(const Value& other) const { return !(*this == other); }
};

} // namespace lentaro::registry
