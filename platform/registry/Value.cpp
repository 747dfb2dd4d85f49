#include "platform/registry/Value.h"

namespace lentaro::registry {

namespace {

Value textValue(ValueType type, std::string_view text)
{
    Value value{type, std::vector<std::uint8_t>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

} // namespace

Value Value::string(std::string_view text)
{
    return textValue(ValueType::String, text);
}

Value Value::expandString(std::string_view text)
{
    return textValue(ValueType::ExpandString, text);
}

Value Value::dword(std::uint32_t number)
{
    return Value{ValueType::Dword,
                 {std::uint8_t(number), std::uint8_t(number >> 8), std::uint8_t(number >> 16),
                  std::uint8_t(number >> 24)}};
}

Value Value::binary(std::string_view bytes)
{
    return Value{ValueType::Binary, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

Value Value::binary(std::vector<std::uint8_t> bytes)
{
    return Value{ValueType::Binary, std::move(bytes)};
}

Value Value::multiString(const std::vector<std::string>& texts)
{
    Value value{ValueType::MultiString, {}};
    for (const std::string& text : texts) {
        value.data.insert(value.data.end(), text.begin(), text.end());
        value.data.push_back(0);
    }
    value.data.push_back(0);
    return value;
}

std::optional<std::string> Value::text() const
{
    if (type != ValueType::String && type != ValueType::ExpandString)
        return std::nullopt;
    std::string result = bytes();
    if (!result.empty() && result.back() == '\0')
        result.pop_back();
    return result;
}

std::optional<std::uint32_t> Value::number() const
{
    if (data.size() != 4)
        return std::nullopt;
    if (type == ValueType::Dword) {
        return std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16
               | std::uint32_t(data[3]) << 24;
    }
    if (type == ValueType::DwordBigEndian) {
        return std::uint32_t(data[3]) | std::uint32_t(data[2]) << 8 | std::uint32_t(data[1]) << 16
               | std::uint32_t(data[0]) << 24;
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> Value::texts() const
{
    if (type != ValueType::MultiString)
        return std::nullopt;
    std::vector<std::string> result;
    std::string current;
    for (std::uint8_t byte : data) {
        if (byte != 0) {
            current.push_back(char(byte));
            continue;
        }
        // An empty text ends the list: the list's own terminator.
        if (current.empty())
            break;
        result.push_back(std::move(current));
        current.clear();
    }
    if (!current.empty())
        result.push_back(std::move(current));
    return result;
}

std::string Value::bytes() const
{
    return std::string(data.begin(), data.end());
}

} // namespace lentaro::registry
