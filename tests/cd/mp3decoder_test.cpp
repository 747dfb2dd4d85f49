// The MP3 decoder: what it writes for MP3 files of several kinds, its position reports on a
// clock the test moves, and its silence after a stop.
#include "cd/mp3decoder.h"

#include "app/timetexts.h"
#include "tests/app/app_fixture.h"
#include "tests/cd/support/converted_wave.h"
#include "tests/cd/support/frame_gate.h"
#include "tests/cd/support/mp3_maker.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>

namespace lentaro::test {

namespace {

constexpr int deadlineMs = 20000;

class Mp3DecoderTest : public AppTest
{
protected:
    QString file(const QString& name) const { return folder_.filePath(name); }

    // Converts an MP3 made from spec into out.wav and waits for the end.
    void convert(Mp3Decoder& decoder, const Mp3Spec& spec)
    {
        writeMp3(file(QStringLiteral("in.mp3")), spec);
        decoder.open(file(QStringLiteral("in.mp3")));
        decoder.setOutput(file(QStringLiteral("out.wav")));
        QSignalSpy finished(&decoder, &Mp3Decoder::PlaybackFinished);
        decoder.start();
        ASSERT_TRUE(finished.wait(deadlineMs));
    }

    QTemporaryDir folder_;
};

struct ToneCase {
    const char* name;
    Mp3Spec spec;
    const char* lengthText;
};

class Mp3DecodingTest : public Mp3DecoderTest, public ::testing::WithParamInterface<ToneCase>
{};

TEST_P(Mp3DecodingTest, WritesExactlyTheEncodedFramesAtTheFilesRateAndChannels)
{
    const Mp3Spec& spec = GetParam().spec;
    Mp3Decoder decoder;
    convert(decoder, spec);
    EXPECT_EQ(decoder.lengthText(), QString::fromLatin1(GetParam().lengthText));

    const ConvertedWave wave = readConvertedWave(file(QStringLiteral("out.wav")));
    ASSERT_TRUE(wave.readable);
    EXPECT_TRUE(wave.headerAgrees);
    EXPECT_EQ(wave.frames, spec.frames);
    EXPECT_EQ(wave.sampleRate, spec.rate);
    EXPECT_EQ(wave.channels, spec.channels);
    EXPECT_EQ(wave.bitsPerSample, 16);
    EXPECT_NEAR(toneFrequency(wave), spec.frequency, spec.frequency * 0.002);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Mp3DecodingTest,
    ::testing::Values(ToneCase{"stereo44k", {44100, 2, 44100 * 3 + 123, 440.0}, "00:03"},
                      ToneCase{"mono22k", {22050, 1, 22050 * 2 + 7, 660.0, 64}, "00:02"},
                      ToneCase{
                          "id3v2Tagged", {44100, 2, 44100 + 999, 880.0, 128, true, true}, "00:01"},
                      ToneCase{"minuteLong", {44100, 2, 44100 * 61, 440.0}, "01:01"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Mp3DecoderTest, DecodesAFileWithoutTheEncodersInfoFrameWhole)
{
    // Without it the encoder's delay and padding stay in: up to two frames of 1152 more.
    const Mp3Spec spec{44100, 2, 44100 * 2 + 123, 440.0, 128, false};
    Mp3Decoder decoder;
    convert(decoder, spec);

    const ConvertedWave wave = readConvertedWave(file(QStringLiteral("out.wav")));
    ASSERT_TRUE(wave.readable);
    EXPECT_TRUE(wave.headerAgrees);
    EXPECT_GE(wave.frames, spec.frames);
    EXPECT_LE(wave.frames, spec.frames + 2 * 1152);
    EXPECT_NEAR(toneFrequency(wave), spec.frequency, spec.frequency * 0.002);
}

// Records what the decoder reports, in order.
class Mp3PositionTest : public Mp3DecoderTest
{
protected:
    void record(Mp3Decoder& decoder)
    {
        QObject::connect(&decoder, &Mp3Decoder::PlaybackPosition,
                         [this](int position, const QString& text) {
                             EXPECT_EQ(text, mmss(position));
                             positions_.push_back(position);
                             events_.push_back("position");
                         });
        QObject::connect(&decoder, &Mp3Decoder::PlaybackFinished,
                         [this] { events_.push_back("finished"); });
    }

    std::vector<int> positions_;
    std::vector<std::string> events_;
};

TEST_F(Mp3PositionTest, ReportsTheDecodedPositionEachSecondAndFinishesOnceAfterTheLast)
{
    // Each frame takes a second on the test's clock.
    std::atomic<long long> seconds{0};
    std::atomic<int> frames{0};
    Mp3Decoder decoder;
    decoder.setClock(
        [&] { return std::chrono::steady_clock::duration(std::chrono::seconds(seconds)); });
    decoder.setPacing({[&] {
                           ++seconds;
                           ++frames;
                       },
                       {}});
    record(decoder);
    convert(decoder, {44100, 2, 44100 * 2, 440.0});

    // One report per frame, then the whole length once more, then the end.
    ASSERT_EQ(positions_.size(), std::size_t(frames) + 1);
    EXPECT_TRUE(std::is_sorted(positions_.begin(), positions_.end()));
    EXPECT_LT(positions_.front(), 100);
    EXPECT_EQ(positions_.back(), 2000);
    EXPECT_EQ(events_.back(), "finished");
    EXPECT_EQ(std::count(events_.begin(), events_.end(), "finished"), 1);
}

TEST_F(Mp3PositionTest, ReportsOnlyTheEndWhenNoSecondPassed)
{
    Mp3Decoder decoder;
    decoder.setClock([] { return std::chrono::steady_clock::duration{}; });
    record(decoder);
    convert(decoder, {22050, 1, 22050 * 3, 440.0, 64});

    EXPECT_EQ(positions_, std::vector<int>{3000});
    EXPECT_EQ(events_, (std::vector<std::string>{"position", "finished"}));
}

TEST_F(Mp3DecoderTest, StoppedMidwayReportsNothingMoreAndLeavesTheOutputAlone)
{
    writeMp3(file(QStringLiteral("in.mp3")), {44100, 2, 44100 * 5, 440.0});
    QFile previous(file(QStringLiteral("out.wav")));
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
    previous.write("the wave file from before");
    previous.close();

    FrameGate gate(20);
    Mp3Decoder decoder;
    decoder.setClock([] { return std::chrono::steady_clock::duration(std::chrono::hours(1)); });
    decoder.setPacing(gate.pacing());
    QSignalSpy positions(&decoder, &Mp3Decoder::PlaybackPosition);
    QSignalSpy finished(&decoder, &Mp3Decoder::PlaybackFinished);
    QSignalSpy failed(&decoder, &Mp3Decoder::PlaybackFailed);
    decoder.open(file(QStringLiteral("in.mp3")));
    decoder.setOutput(file(QStringLiteral("out.wav")));
    decoder.start();
    ASSERT_TRUE(gate.waitUntilHeld());
    decoder.stop();

    EXPECT_FALSE(decoder.converting());
    // What the conversion posted before it stopped arrives, if at all, within this wait.
    EXPECT_FALSE(finished.wait(300));
    EXPECT_TRUE(positions.isEmpty());
    EXPECT_TRUE(failed.isEmpty());
    EXPECT_EQ(fileBytes(file(QStringLiteral("out.wav"))), QByteArray("the wave file from before"));
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("in.mp3"), QStringLiteral("out.wav")}));
}

} // namespace

} // namespace lentaro::test
