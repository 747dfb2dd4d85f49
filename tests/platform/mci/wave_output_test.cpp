#include "platform/mci/MciErrors.h"
#include "platform/mci/SoundTrouble.h"

#include "tests/platform/mci/wave_rig.h"

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lentaro::mci::test {

namespace {

// The rig's null card, taking only the formats a test allows, and keeping the output it opened
// last so a test can pull it away mid-play.
class PickyCard : public SoundCard
{
public:
    explicit PickyCard(WaveRig& rig) : card_(rig.card) {}

    std::function<bool(const audio::Format&)> takes = [](const audio::Format&) { return true; };
    audio::Status openFailure;
    audio::OutputDevice* lastOutput = nullptr;

    audio::Status queryOutput(const audio::Format& format) override
    {
        return takes(format) ? card_.queryOutput(format)
                             : audio::Status::failure(audio::Error::BadFormat, "not this one");
    }
    audio::Status queryInput(const audio::Format& format) override
    {
        return card_.queryInput(format);
    }
    audio::OpenResult<audio::OutputDevice> openOutput(const audio::Format& format) override
    {
        if (!openFailure.ok())
            return {nullptr, openFailure};
        audio::OpenResult<audio::OutputDevice> opened = card_.openOutput(format);
        lastOutput = opened.device.get();
        return opened;
    }
    audio::OpenResult<audio::InputDevice> openInput(const audio::Format& format) override
    {
        return card_.openInput(format);
    }

private:
    audio::NullSoundCard& card_;
};

// Writes a wave file of 400 frames of a stored form, every channel of a frame alike, and gives
// back what the sound-file core reads of it. PCM goes through the core; mu-law and A-law codes,
// which the core does not write, are put down byte by byte.
std::vector<std::int32_t> writeKind(const std::string& path, int bytes, int encoding, int channels,
                                    std::int32_t step)
{
    constexpr int frames = 400;
    if (encoding == kv::kEncodingMuLaw || encoding == kv::kEncodingALaw) {
        std::string codes;
        for (int frame = 0; frame < frames; ++frame)
            codes += static_cast<char>(frame * 37);
        std::ofstream out(path, std::ios::binary);
        out << waveFile(encoding == kv::kEncodingMuLaw ? 7 : 6, 1, 8, codes);
    } else {
        auto file = kv::SoundStream::openWrite(
            kv::SampleFormat::make(8000, bytes, encoding, channels), path, kv::kFileTypeWav);
        EXPECT_TRUE(file && file->lastError() == kv::kOk);
        std::vector<std::int32_t> samples;
        for (int frame = 0; frame < frames; ++frame)
            samples.insert(samples.end(), static_cast<std::size_t>(channels),
                           (frame % 100 - 50) * step);
        file->write(samples.data(), static_cast<std::int64_t>(samples.size()));
        file->close();
    }
    auto back = kv::SoundStream::openRead(path);
    std::vector<std::int32_t> read(static_cast<std::size_t>(frames * channels));
    std::int64_t got = 0;
    back->read(read.data(), static_cast<std::int64_t>(read.size()), got);
    read.resize(static_cast<std::size_t>(got));
    return read;
}

// What the sink heard, as the 32-bit samples the sound-file core would read from those bytes.
std::vector<std::int32_t> heardWide(WaveRig& rig)
{
    const audio::Format format = *rig.sink->format();
    const std::vector<std::uint8_t> bytes = rig.sink->bytes();
    std::vector<std::int32_t> samples;
    const int width = format.bytesPerSample();
    for (std::size_t at = 0; at + static_cast<std::size_t>(width) <= bytes.size(); at += width) {
        std::uint32_t value = 0;
        for (int b = 0; b < width; ++b)
            value |= static_cast<std::uint32_t>(bytes[at + b]) << (8 * (4 - width + b));
        if (width == 1)
            value ^= 0x80000000u; // 8-bit is stored unsigned
        samples.push_back(static_cast<std::int32_t>(value));
    }
    return samples;
}

TEST(WaveOutput, EachKindOfFilePlaysInItsOwnWidthAndChannels)
{
    struct Case {
        const char* name;
        int bytes, encoding, channels;
        std::int32_t step;
        int heardBits; // companded sound plays as 16-bit PCM
    };
    const Case cases[] = {
        {"8-bit mono", 1, kv::kEncodingUnsigned, 1, 1 << 24, 8},
        {"16-bit stereo", 2, kv::kEncodingSigned, 2, 3 << 16, 16},
        {"24-bit stereo", 3, kv::kEncodingSigned, 2, 1000 << 8, 24},
        {"mu-law mono", 1, kv::kEncodingMuLaw, 1, 1 << 22, 16},
        {"A-law mono", 1, kv::kEncodingALaw, 1, 1 << 22, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WaveRig rig;
        const std::string path = rig.path("kind.wav").toStdString();
        const std::vector<std::int32_t> stored =
            writeKind(path, c.bytes, c.encoding, c.channels, c.step);
        rig.control.setFileName(QString::fromStdString(path));
        rig.send("Open");
        rig.send("Play");
        ASSERT_TRUE(rig.runUntilDone());
        ASSERT_TRUE(rig.sink->format());
        EXPECT_EQ(rig.sink->format()->channels, c.channels);
        EXPECT_EQ(rig.sink->format()->bitsPerSample, c.heardBits);
        EXPECT_EQ(heardWide(rig), stored);
    }
}

TEST(WaveOutput, ACardThatRefusesTheFilesFormatHearsItConverted)
{
    WaveRig rig;
    PickyCard card(rig);
    card.takes = [](const audio::Format& f) { return f.channels == 2 && f.bitsPerSample == 16; };
    ScopedOverride<SoundCard> inPlace(soundCard, card);
    rig.openRamp();
    rig.control.setFrom(100);
    rig.control.setTo(200);
    rig.send("Play");
    ASSERT_TRUE(rig.runUntilDone());
    const std::vector<std::int16_t> heard = rig.heard();
    ASSERT_EQ(heard.size(), 2u * 800);
    for (std::size_t frame = 0; frame < 800; ++frame) {
        ASSERT_EQ(heard[2 * frame], 800 + static_cast<int>(frame)) << frame;
        ASSERT_EQ(heard[2 * frame + 1], heard[2 * frame]) << frame;
    }
    EXPECT_EQ(rig.control.position(), 200);
}

TEST(WaveOutput, ASoundDeviceThatFailsGivesErrorWithTheReasonAndFailureAfterTheStart)
{
    WaveRig rig;
    PickyCard card(rig);
    ScopedOverride<SoundCard> inPlace(soundCard, card);
    rig.openRamp();

    card.openFailure = audio::Status::failure(audio::Error::NoDevice, "the card was unplugged");
    rig.send("Play");
    EXPECT_EQ(rig.control.error(), errors::hardware);
    EXPECT_TRUE(rig.control.errorMessage().contains(QLatin1String("unplugged")));
    EXPECT_EQ(rig.control.mode(), static_cast<int>(Mode::Stopped));

    card.openFailure = {};
    rig.send("Play");
    rig.hear(100);
    card.lastOutput->close(); // gone from under the play
    ASSERT_TRUE(rig.runUntilDone());
    EXPECT_EQ(rig.dones.codes, std::vector<int>{8});
    EXPECT_EQ(rig.control.error(), errors::hardware);
    EXPECT_EQ(rig.control.mode(), static_cast<int>(Mode::Stopped));
    EXPECT_LE(rig.control.position(), rig.runs().back().end * 1000 / rampRate)
        << "the position never runs ahead of what was heard";
}

// A machine without sound: every output and input is refused with the sound system's reason, or
// only the opening of the output fails.
class SoundlessCard : public SoundCard
{
public:
    audio::Status output =
        audio::Status::failure(audio::Error::NoDevice, "there is no sound output device");
    audio::Status openOutputFailure = output;
    audio::Status input =
        audio::Status::failure(audio::Error::NoDevice, "there is no sound input device");

    audio::Status queryOutput(const audio::Format&) override { return output; }
    audio::Status queryInput(const audio::Format&) override { return input; }
    audio::OpenResult<audio::OutputDevice> openOutput(const audio::Format&) override
    {
        return {nullptr, openOutputFailure};
    }
    audio::OpenResult<audio::InputDevice> openInput(const audio::Format&) override
    {
        return {nullptr, input};
    }
};

// Keeps what the devices told of the sound they could not have.
class TroubleLog : public SoundTrouble
{
public:
    void noOutput(const audio::Status& why) override { outputs.push_back(why.detail); }
    void noInput(const audio::Status& why) override { inputs.push_back(why.detail); }

    std::vector<std::string> outputs;
    std::vector<std::string> inputs;
};

// Play, Record and Cue fail at once with the hardware error and the sound system's reason, tell
// the program the same reason once per command, leave the device stopped and notify nothing.
TEST(WaveOutput, WithoutSoundPlayRecordAndCueFailWithTheSoundSystemsReason)
{
    struct Case {
        const char* name;
        const char* command;
        bool queryPasses; // the output is there, but opening it fails
        const char* reason;
        bool output;
    };
    const Case cases[] = {
        {"no output", "Play", false, "there is no sound output device", true},
        {"output refuses to open", "Play", true, "opening the sound output: busy", true},
        {"no input to record", "Record", false, "there is no sound input device", false},
        {"no input to cue", "Cue", false, "there is no sound input device", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WaveRig rig;
        SoundlessCard card;
        if (c.queryPasses) {
            card.output = {};
            card.openOutputFailure = audio::Status::failure(audio::Error::DeviceFailure,
                                                            "opening the sound output: busy");
        }
        TroubleLog told;
        ScopedOverride<SoundCard> cardInPlace(soundCard, card);
        ScopedOverride<SoundTrouble> troubleInPlace(soundTrouble, told);
        if (c.output) {
            rig.openRamp();
        } else {
            rig.control.setFileName(rig.path("new.wav"));
            rig.send("Open");
        }

        rig.send(c.command);

        EXPECT_EQ(rig.control.error(), errors::hardware);
        EXPECT_TRUE(rig.control.errorMessage().contains(QLatin1String(c.reason)))
            << rig.control.errorMessage().toStdString();
        EXPECT_EQ(rig.control.mode(), static_cast<int>(Mode::Stopped));
        EXPECT_EQ(c.output ? told.outputs : told.inputs, std::vector<std::string>{c.reason});
        EXPECT_TRUE((c.output ? told.inputs : told.outputs).empty());
        drainEvents();
        EXPECT_TRUE(rig.dones.codes.empty());
    }
}

} // namespace

} // namespace lentaro::mci::test
