#include "platform/wavesection/WaveSection.h"

#include "soundfile/wav_handler.h"
#include "tests/soundfile/support/riff_builder.h"
#include "tests/soundfile/support/temp_dir.h"

#include <cctype>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <ostream>
#include <sys/resource.h>

namespace lentaro::wavesection {
namespace {

using kvtest::Bytes;
using kvtest::chunk;
using kvtest::fmtBody;
using kvtest::riff;

constexpr std::uint16_t pcm = 1;
constexpr std::int32_t msMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t msMax = std::numeric_limits<std::int32_t>::max();

struct Wave {
    std::uint16_t tag;
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint16_t bits;
    int frames;

    std::size_t frameBytes() const { return std::size_t(channels) * ((bits + 7) / 8); }
};

const Wave stereo16{pcm, 2, 8000, 16, 80}; // 10 ms

// Sample bytes that differ from their neighbours and from those a frame or a block away, so a
// frame out of place shows.
Bytes sampleBytes(const Wave& wave)
{
    Bytes bytes(wave.frameBytes() * std::size_t(wave.frames));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t((i * 2654435761u) >> 13);
    return bytes;
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t to)
{
    return Bytes(bytes.begin() + std::ptrdiff_t(from), bytes.begin() + std::ptrdiff_t(to));
}

// A wave file as other programs write them: a chunk of odd size between the format and the
// samples, and another after them.
Bytes sourceFile(const Wave& wave)
{
    Bytes info;
    kvtest::appendText(info, "INFOISFT");
    kvtest::appendLE32(info, 5);
    kvtest::appendText(info, "notes");
    return riff({chunk("fmt ", fmtBody(wave.tag, wave.channels, wave.rate, wave.bits)),
                 chunk("LIST", info), chunk("data", sampleBytes(wave)), chunk("id3 ", {1, 2, 3})});
}

// The plain wave file of frames [first, end) of the source.
Bytes sectionFile(const Wave& wave, int first, int end)
{
    return riff({chunk("fmt ", fmtBody(wave.tag, wave.channels, wave.rate, wave.bits)),
                 chunk("data", slice(sampleBytes(wave), wave.frameBytes() * std::size_t(first),
                                     wave.frameBytes() * std::size_t(end)))});
}

// A whole wave file, none, a text file, or a recording never finished: its data chunk claims the
// most a header may and the file stops half-way through a frame.
enum class Source { Wave, Missing, Text, CutOff };

struct CutCase {
    const char* name;
    Source source;
    Wave wave;
    // new.wav, old.wav and the read-only locked.wav (which exist), source.wav and other names
    // for it, a folder, a file in a missing folder.
    const char* destination;
    std::int32_t startMs;
    std::int32_t endMs;
    std::int32_t result; // channels, or the failure
    int firstFrame = 0;  // the section written
    int endFrame = 0;
};

const CutCase cases[] = {
    {"mono 8-bit, an odd size", Source::Wave, {pcm, 1, 11025, 8, 100}, "new.wav", 2, 7, 1, 22, 77},
    {"stereo 16-bit", Source::Wave, {pcm, 2, 22050, 16, 200}, "new.wav", 1, 3, 2, 22, 66},
    {"stereo 24-bit", Source::Wave, {pcm, 2, 48000, 24, 150}, "new.wav", 1, 2, 2, 48, 96},
    {"four channels", Source::Wave, {pcm, 4, 8000, 16, 80}, "new.wav", 0, 5, 4, 0, 40},
    {"both times round down", Source::Wave, {pcm, 1, 44100, 16, 300}, "new.wav", 5, 6, 1, 220, 264},
    {"an existing file is replaced", Source::Wave, stereo16, "old.wav", 2, 4, 2, 16, 32},
    {"a start before the file", Source::Wave, stereo16, "new.wav", -5, 2, 2, 0, 16},
    {"an end past the file", Source::Wave, stereo16, "new.wav", 3, 1000000, 2, 24, 80},
    {"the widest times", Source::Wave, stereo16, "new.wav", msMin, msMax, 2, 0, 80},
    {"a source cut off mid-frame", Source::CutOff, stereo16, "new.wav", 3, 1000000, 2, 24, 80},

    {"start at the end", Source::Wave, stereo16, "old.wav", 4, 4, EmptySection},
    {"start after the end", Source::Wave, stereo16, "old.wav", 6, 2, EmptySection},
    {"start past the file", Source::Wave, stereo16, "old.wav", 20, 30, EmptySection},
    {"end at the start", Source::Wave, stereo16, "old.wav", -10, 0, EmptySection},
    {"less than a frame", Source::Wave, {pcm, 1, 500, 16, 50}, "old.wav", 0, 1, EmptySection},
    {"missing source", Source::Missing, stereo16, "old.wav", 0, 5, SourceUnreadable},
    {"source no wave file", Source::Text, stereo16, "old.wav", 0, 5, SourceUnreadable},
    {"three channels, which no reader takes",
     Source::Wave,
     {pcm, 3, 8000, 16, 80},
     "old.wav",
     0,
     5,
     SourceUnreadable},
    {"destination is the source", Source::Wave, stereo16, "source.wav", 0, 5, DestinationIsSource},
    {"the source spelt otherwise", Source::Wave, stereo16, "folder/../source.wav", 0, 5,
     DestinationIsSource},
    {"the source from here", Source::Wave, stereo16, "./source.wav", 0, 5, DestinationIsSource},
    {"a hard link to the source", Source::Wave, stereo16, "link.wav", 0, 5, DestinationIsSource},
    {"a symbolic link to the source", Source::Wave, stereo16, "alias.wav", 0, 5,
     DestinationIsSource},
    {"destination is a folder", Source::Wave, stereo16, "folder", 0, 5, DestinationUnwritable},
    {"a read-only destination", Source::Wave, stereo16, "locked.wav", 0, 5, DestinationUnwritable},
    {"destination in a missing folder", Source::Wave, stereo16, "missing/new.wav", 0, 5,
     DestinationUnwritable},
};

class WaveSectionCut : public kvtest::TempDirTest
{
protected:
    // source.wav (unless missing), old.wav, locked.wav, folder/, and link.wav and alias.wav naming
    // the source.
    void makeFolder(Source source, const Wave& wave)
    {
        if (source == Source::Wave)
            writeAll(path("source.wav"), sourceFile(wave));
        if (source == Source::CutOff) {
            Bytes samples = sampleBytes(wave);
            samples.push_back(0xA5); // with the pad byte, half a frame
            writeAll(path("source.wav"),
                     riff({chunk("fmt ", fmtBody(wave.tag, wave.channels, wave.rate, wave.bits)),
                           chunk("data", samples, kv::kWavProvisionalDataSize)}));
        }
        if (source == Source::Text) {
            Bytes text;
            kvtest::appendText(text, "not a wave file");
            writeAll(path("source.wav"), text);
        }
        writeAll(path("old.wav"), sectionFile(stereo16, 0, 3));
        writeAll(path("locked.wav"), sectionFile(stereo16, 3, 6));
        std::filesystem::permissions(path("locked.wav"), std::filesystem::perms::owner_read
                                                             | std::filesystem::perms::group_read
                                                             | std::filesystem::perms::others_read);
        std::filesystem::create_directory(path("folder"));
        if (source != Source::Missing)
            std::filesystem::create_hard_link(path("source.wav"), path("link.wav"));
        std::filesystem::create_symlink("source.wav", path("alias.wav"));
    }
};

void PrintTo(const CutCase& c, std::ostream* os)
{
    *os << c.name;
}

class WaveSectionCuts : public WaveSectionCut, public ::testing::WithParamInterface<CutCase>
{};

TEST_P(WaveSectionCuts, WriteTheSectionOrNothing)
{
    const CutCase& c = GetParam();
    makeFolder(c.source, c.wave);
    auto expected = folder();
    if (c.result > 0)
        expected[c.destination] = sectionFile(c.wave, c.firstFrame, c.endFrame);

    EXPECT_EQ(cut(path("source.wav"), path(c.destination), c.startMs, c.endMs), c.result);
    EXPECT_EQ(folder(), expected); // and no temporary file left behind
}

std::string caseName(const ::testing::TestParamInfo<CutCase>& info)
{
    std::string name;
    for (const char* letter = info.param.name; *letter; ++letter)
        name += std::isalnum(static_cast<unsigned char>(*letter)) ? *letter : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Table, WaveSectionCuts, ::testing::ValuesIn(cases), caseName);

// Makes writes past a size fail as on a full disk, for as long as it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_signal = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_saved{};
    void (*m_signal)(int);
};

TEST_F(WaveSectionCut, AWriteThatFailsHalfwayLeavesTheDestinationAsItWas)
{
    const Wave twoSeconds{pcm, 2, 44100, 16, 88200};
    makeFolder(Source::Wave, twoSeconds);
    const auto before = folder();
    {
        const FileSizeLimit limit(100000);
        EXPECT_EQ(cut(path("source.wav"), path("old.wav"), 0, 2000), DestinationUnwritable);
    }
    EXPECT_EQ(folder(), before);
}

} // namespace
} // namespace lentaro::wavesection
