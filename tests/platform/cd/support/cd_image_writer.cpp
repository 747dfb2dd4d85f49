#include "tests/platform/cd/support/cd_image_writer.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>

namespace lentaro::cd::test {

namespace fs = std::filesystem;

namespace {

constexpr int bytesPerFrame = 2352;
constexpr int samplesPerFrame = 588;

std::string msf(int lsn)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", lsn / 4500, (lsn / 75) % 60, lsn % 75);
    return text;
}

void appendAudioFrame(std::vector<char>& bin, int lsn)
{
    for (int pair = 0; pair < samplesPerFrame; ++pair) {
        const std::int64_t index = static_cast<std::int64_t>(lsn) * samplesPerFrame + pair;
        const auto low = static_cast<std::uint16_t>(index & 0xFFFF);
        const auto high = static_cast<std::uint16_t>((index >> 16) & 0xFFFF);
        for (std::uint16_t value : {low, high}) {
            bin.push_back(static_cast<char>(value & 0xFF));
            bin.push_back(static_cast<char>(value >> 8));
        }
    }
}

void appendDataFrame(std::vector<char>& bin, int lsn)
{
    std::minstd_rand noise(static_cast<unsigned>(lsn) + 1);
    for (int byte = 0; byte < bytesPerFrame; ++byte)
        bin.push_back(static_cast<char>(noise() & 0xFF));
}

void writeFile(const fs::path& path, const char* bytes, std::size_t count)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes, static_cast<std::streamsize>(count));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

fs::path writeImage(const fs::path& folder, const std::string& name, const ImageSpec& spec)
{
    std::string cue = "FILE \"" + spec.fileLineName.value_or(name + ".bin") + "\" BINARY\n";
    std::vector<char> bin;
    int lsn = 0;
    for (std::size_t index = 0; index < spec.tracks.size(); ++index) {
        const ImageTrack& track = spec.tracks[index];
        char number[24];
        std::snprintf(number, sizeof number, "%02zu", index + 1);
        cue += std::string("  TRACK ") + number + (track.data ? " MODE1/2352\n" : " AUDIO\n");
        if (track.pregapFrames > 0)
            cue += "    INDEX 00 " + msf(lsn) + "\n";
        cue += "    INDEX 01 " + msf(lsn + track.pregapFrames) + "\n";
        for (int frame = 0; frame < track.pregapFrames + track.frames; ++frame, ++lsn) {
            if (track.data)
                appendDataFrame(bin, lsn);
            else
                appendAudioFrame(bin, lsn);
        }
    }
    cue += spec.extraCueLines;
    const std::size_t kept =
        spec.keepFrames ? static_cast<std::size_t>(*spec.keepFrames) * bytesPerFrame : bin.size();
    const fs::path cuePath = folder / (name + ".cue");
    writeFile(cuePath, cue.data(), cue.size());
    writeFile(folder / (name + ".bin"), bin.data(), std::min(kept, bin.size()));
    return cuePath;
}

fs::path writeNoiseImage(const fs::path& folder, const std::string& name, int frames, unsigned seed)
{
    std::mt19937 noise(seed);
    std::vector<char> bin(static_cast<std::size_t>(frames) * bytesPerFrame);
    for (char& byte : bin)
        byte = static_cast<char>(noise() & 0xFF);
    const std::string cue =
        "FILE \"" + name + ".bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    const fs::path cuePath = folder / (name + ".cue");
    writeFile(cuePath, cue.data(), cue.size());
    writeFile(folder / (name + ".bin"), bin.data(), bin.size());
    return cuePath;
}

std::int64_t sampleIndexOf(std::int16_t left, std::int16_t right)
{
    return static_cast<std::int64_t>(static_cast<std::uint16_t>(left))
           | static_cast<std::int64_t>(static_cast<std::uint16_t>(right)) << 16;
}

} // namespace lentaro::cd::test
