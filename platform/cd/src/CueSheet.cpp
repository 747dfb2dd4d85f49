#include "platform/cd/src/CueSheet.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace lentaro::cd {

namespace {

std::string upper(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// The words of a line; a double-quoted word may hold blanks.
std::vector<std::string> words(std::string_view line)
{
    std::vector<std::string> result;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        if (at == line.size())
            break;
        if (line[at] == '"') {
            const std::size_t close = line.find('"', at + 1);
            const std::size_t end = close == std::string_view::npos ? line.size() : close;
            result.emplace_back(line.substr(at + 1, end - at - 1));
            at = end + 1;
        } else {
            const std::size_t start = at;
            while (at < line.size() && !isBlank(line[at]))
                ++at;
            result.emplace_back(line.substr(start, at - start));
        }
    }
    return result;
}

} // namespace

std::string cueSheetProblem(std::string_view text, std::string_view binName)
{
    int files = 0;
    int tracks = 0;
    std::size_t lineStart = 0;
    while (lineStart <= text.size()) {
        const std::size_t lineEnd = std::min(text.find('\n', lineStart), text.size());
        const std::vector<std::string> line = words(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (line.empty())
            continue;
        const std::string keyword = upper(line[0]);
        if (keyword == "FILE") {
            ++files;
            if (line.size() < 3)
                return "its FILE line names no file type";
            if (line[1] != binName)
                return "it names the data file \"" + line[1] + "\"; it must name \""
                       + std::string(binName) + "\", beside it";
            if (upper(line[2]) != "BINARY")
                return "its data file is " + line[2] + "; it must be BINARY";
        } else if (keyword == "TRACK") {
            ++tracks;
            const std::string mode = line.size() > 2 ? upper(line[2]) : std::string();
            if (mode != "AUDIO" && mode != "MODE1/2352")
                return "track " + (line.size() > 1 ? line[1] : std::string("?")) + " is "
                       + (mode.empty() ? std::string("of no mode") : mode)
                       + "; only AUDIO and MODE1/2352 tracks are read";
        } else if (keyword == "PREGAP" || keyword == "POSTGAP") {
            return "it uses " + keyword + ", frames its data file does not hold";
        }
    }
    if (files != 1)
        return files == 0 ? "it names no data file" : "it names more than one data file";
    if (tracks == 0)
        return "it has no tracks";
    return {};
}

} // namespace lentaro::cd
