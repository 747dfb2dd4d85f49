#include "tests/platform/mci/wave_rig.h"

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <gtest/gtest.h>

#include <ostream>

namespace lentaro::mci::test {

void writeWave16(const std::string& path, int rate, int channels,
                 const std::vector<std::int16_t>& samples)
{
    auto file = kv::SoundStream::openWrite(
        kv::SampleFormat::make(static_cast<float>(rate), 2, kv::kEncodingSigned, channels), path,
        kv::kFileTypeWav);
    ASSERT_TRUE(file && file->lastError() == kv::kOk) << path;
    std::vector<std::int32_t> wide;
    wide.reserve(samples.size());
    for (std::int16_t sample : samples)
        wide.push_back(static_cast<std::int32_t>(sample) * 65536);
    ASSERT_EQ(file->write(wide.data(), static_cast<std::int64_t>(wide.size())), kv::kOk);
    ASSERT_EQ(file->close(), kv::kOk);
}

void writeRamp(const std::string& path)
{
    std::vector<std::int16_t> ramp(rampFrames);
    for (int frame = 0; frame < rampFrames; ++frame)
        ramp[static_cast<std::size_t>(frame)] = static_cast<std::int16_t>(frame);
    writeWave16(path, rampRate, 1, ramp);
}

std::string waveFile(int tag, int channels, int bits, const std::string& data)
{
    const auto le16 = [](int v) { return std::string{char(v & 255), char(v >> 8 & 255)}; };
    const auto le32 = [](std::uint32_t v) {
        return std::string{char(v & 255), char(v >> 8 & 255), char(v >> 16 & 255),
                           char(v >> 24 & 255)};
    };
    const int block = channels * bits / 8;
    const auto size = static_cast<std::uint32_t>(data.size());
    return "RIFF" + le32(36 + size) + "WAVEfmt " + le32(16) + le16(tag) + le16(channels)
           + le32(8000) + le32(8000u * block) + le16(block) + le16(bits) + "data" + le32(size)
           + data;
}

WaveContents readWave(const std::string& path)
{
    WaveContents contents;
    auto file = kv::SoundStream::openRead(path);
    if (!file || file->lastError() != kv::kOk)
        return contents;
    contents.channels = file->channels();
    contents.rate = static_cast<int>(file->sampleRate());
    contents.bits = 8 * file->bytesPerSample();
    std::vector<std::int32_t> wide(static_cast<std::size_t>(file->length()));
    std::int64_t got = 0;
    file->read(wide.data(), static_cast<std::int64_t>(wide.size()), got);
    const int shift = 32 - contents.bits;
    for (std::int64_t i = 0; i < got; ++i)
        contents.samples.push_back(wide[static_cast<std::size_t>(i)] >> shift);
    return contents;
}

std::ostream& operator<<(std::ostream& out, const Stretch& stretch)
{
    return out << "[" << stretch.start << ", " << stretch.end << ")";
}

WaveRig::WaveRig()
{
    card.setSink(sink);
    control.setDevice(std::make_unique<WaveAudioDevice>(), QStringLiteral("WaveAudio"));
}

WaveRig::~WaveRig()
{
    // The device's threads end before the card and clock they use.
    control.setDevice(nullptr, QString());
}

void WaveRig::openRamp()
{
    writeRamp(path("ramp.wav").toStdString());
    control.setFileName(path("ramp.wav"));
    control.setWait(true);
    send("Open");
    ASSERT_EQ(control.error(), 0) << control.errorMessage().toStdString();
}

void WaveRig::hear(int milliseconds, MMControl& playing)
{
    const int before = playing.position();
    clock->advance(std::chrono::milliseconds(milliseconds));
    ASSERT_TRUE(eventually([&] { return playing.position() > before; }));
}

bool WaveRig::runUntilDone(std::size_t count)
{
    const std::size_t wanted = dones.codes.size() + count;
    return eventually([&] {
        if (dones.codes.size() >= wanted)
            return true;
        clock->advance(std::chrono::milliseconds(20));
        return false;
    });
}

bool WaveRig::runUntilStopped()
{
    return eventually([&] {
        if (control.mode() == static_cast<int>(Mode::Stopped))
            return true;
        clock->advance(std::chrono::milliseconds(20));
        return false;
    });
}

std::vector<std::int16_t> WaveRig::heard() const
{
    const std::vector<std::uint8_t> bytes = sink->bytes();
    std::vector<std::int16_t> samples;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        samples.push_back(static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8));
    return samples;
}

std::vector<Stretch> WaveRig::runs() const
{
    std::vector<Stretch> found;
    for (std::int16_t sample : heard()) {
        if (!found.empty() && sample == found.back().end)
            ++found.back().end;
        else
            found.push_back({sample, sample + 1});
    }
    return found;
}

} // namespace lentaro::mci::test
