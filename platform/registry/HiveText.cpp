#include "platform/registry/HiveText.h"

#include <cstdint>
#include <cstdio>

namespace lentaro::registry {

namespace {

constexpr std::string_view header = "lentaro-registry 1\n";
constexpr std::string_view endTag = "end ";

std::uint32_t crc32(std::string_view bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = text[i];
        std::size_t extra;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the first continuation byte
        if (lead < 0x80) {
            extra = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            if (lead == 0xE0)
                low = 0xA0; // no overlong forms
            if (lead == 0xED)
                high = 0x9F; // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F; // nothing above U+10FFFF
        } else {
            return false;
        }
        if (text.size() - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char next = text[i + k];
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
                return false;
        }
        i += extra + 1;
    }
    return true;
}

void appendQuoted(std::string& out, std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    const bool keepUtf8 = isValidUtf8(bytes);
    out += '"';
    for (unsigned char c : bytes) {
        const bool plain =
            (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') || (c >= 0x80 && keepUtf8);
        if (plain) {
            out += char(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 0xF];
        }
    }
    out += '"';
}

void appendValues(std::string& out, const Key& key)
{
    for (const NamedValue& v : key.values()) {
        out += "value ";
        out += std::to_string(std::uint32_t(v.value.type));
        out += ' ';
        appendQuoted(out, v.name);
        out += ' ';
        appendQuoted(out, v.value.bytes());
        out += '\n';
    }
}

void appendKeys(std::string& out, const Key& key, std::vector<const std::string*>& path)
{
    for (const Key* sub : key.subKeys()) {
        path.push_back(&sub->name());
        out += "key";
        for (const std::string* name : path) {
            out += ' ';
            appendQuoted(out, *name);
        }
        out += '\n';
        appendValues(out, *sub);
        appendKeys(out, *sub, path);
        path.pop_back();
    }
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads the parts of one line: words and quoted texts separated by single blanks.
class LineReader
{
public:
    explicit LineReader(std::string_view line) : m_rest(line) {}

    bool atEnd() const { return m_rest.empty(); }

    bool word(std::string_view& word)
    {
        const std::size_t end = m_rest.find(' ');
        word = m_rest.substr(0, end);
        m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end);
        return !word.empty();
    }

    bool blank()
    {
        if (m_rest.empty() || m_rest.front() != ' ')
            return false;
        m_rest.remove_prefix(1);
        return true;
    }

    bool quoted(std::string& text)
    {
        text.clear();
        if (m_rest.empty() || m_rest.front() != '"')
            return false;
        std::size_t i = 1;
        while (i < m_rest.size() && m_rest[i] != '"') {
            const unsigned char c = m_rest[i];
            if (c < 0x20 || c == 0x7F)
                return false;
            if (c != '\\') {
                text += char(c);
                ++i;
                continue;
            }
            if (i + 3 >= m_rest.size() || m_rest[i + 1] != 'x')
                return false;
            const int high = hexDigit(m_rest[i + 2]), low = hexDigit(m_rest[i + 3]);
            if (high < 0 || low < 0)
                return false;
            text += char(high * 16 + low);
            i += 4;
        }
        if (i == m_rest.size())
            return false;
        m_rest.remove_prefix(i + 1);
        return true;
    }

private:
    std::string_view m_rest;
};

bool parseTypeNumber(std::string_view word, std::uint32_t& number)
{
    if (word.empty() || word.size() > 10)
        return false;
    std::uint64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + std::uint64_t(c - '0');
    }
    if (value > 0xFFFFFFFFu)
        return false;
    number = std::uint32_t(value);
    return true;
}

bool parseKeyLine(LineReader& line, Key& root, Key*& current)
{
    std::vector<std::string> path;
    while (line.blank()) {
        std::string name;
        if (!line.quoted(name) || !isValidKeyName(name))
            return false;
        path.push_back(std::move(name));
    }
    if (path.empty() || !line.atEnd())
        return false;
    bool created = false;
    current = &root.make(path, created);
    return true;
}

bool parseValueLine(LineReader& line, Key& key, std::string& problem)
{
    std::string_view typeWord;
    std::uint32_t type = 0;
    std::string name, bytes;
    if (!line.blank() || !line.word(typeWord) || !parseTypeNumber(typeWord, type) || !line.blank()
        || !line.quoted(name) || !line.blank() || !line.quoted(bytes) || !line.atEnd()) {
        problem = "malformed value line";
        return false;
    }
    if (key.value(name)) {
        problem = "the value \"" + name + "\" appears twice in one key";
        return false;
    }
    key.setValue(name,
                 Value{ValueType(type), std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    return true;
}

// The body between the header and the end line, after the checksum has been checked.
bool parseBody(std::string_view body, Key& root, std::string& problem)
{
    Key* current = &root;
    std::size_t lineNumber = 1; // the header
    while (!body.empty()) {
        ++lineNumber;
        const std::size_t newline = body.find('\n');
        LineReader line(body.substr(0, newline));
        body.remove_prefix(newline + 1);

        std::string_view kind;
        line.word(kind);
        bool good;
        if (kind == "key") {
            good = parseKeyLine(line, root, current);
            if (!good)
                problem = "malformed key line";
        } else if (kind == "value") {
            good = parseValueLine(line, *current, problem);
        } else {
            good = false;
            problem = "unknown line";
        }
        if (!good) {
            problem = "line " + std::to_string(lineNumber) + ": " + problem;
            return false;
        }
    }
    return true;
}

} // namespace

std::string formatHive(const Key& root)
{
    std::string out(header);
    appendValues(out, root);
    std::vector<const std::string*> path;
    appendKeys(out, root, path);
    char trailer[32];
    std::snprintf(trailer, sizeof trailer, "end %08x\n", unsigned(crc32(out)));
    out += trailer;
    return out;
}

bool parseHive(std::string_view text, Key& root, std::string& problem)
{
    if (text.substr(0, header.size()) != header) {
        problem =
            text.empty() ? "the file is empty" : "it does not begin with \"lentaro-registry 1\"";
        return false;
    }
    // The end line: "end " and 8 hex digits, then the final newline.
    const std::size_t endLineSize = endTag.size() + 8 + 1;
    const std::size_t endLine = text.size() >= endLineSize ? text.size() - endLineSize : 0;
    if (endLine < header.size() || text.back() != '\n' || text[endLine - 1] != '\n'
        || text.substr(endLine, endTag.size()) != endTag) {
        problem = "it stops before its end line (the file is incomplete)";
        return false;
    }
    std::uint32_t stored = 0;
    for (char c : text.substr(endLine + endTag.size(), 8)) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            problem = "its end line is malformed";
            return false;
        }
        stored = stored << 4 | std::uint32_t(digit);
    }
    if (stored != crc32(text.substr(0, endLine))) {
        problem = "its checksum does not match its contents";
        return false;
    }
    return parseBody(text.substr(header.size(), endLine - header.size()), root, problem);
}

} // namespace lentaro::registry
