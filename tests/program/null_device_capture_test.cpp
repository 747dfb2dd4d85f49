#include "tests/program/program_fixture.h"

#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/mci/MMControl.h"
#include "tests/engine/support/tone.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <cstdint>
#include <vector>

namespace lentaro::test {
namespace {

constexpr int rate = 44100;
constexpr double pi = 3.14159265358979323846;
constexpr double leftHz = 440;
constexpr double rightHz = 660;
constexpr double leftLevel = 0.5;
constexpr double rightLevel = 0.25;
constexpr double fullScale = 32768;

// song.wav: a second of 16-bit stereo, 440 Hz on the left and 660 Hz, softer, on the right.
std::vector<std::int16_t> writeSong(const QString& path)
{
    std::vector<std::int16_t> samples;
    for (int frame = 0; frame < rate; ++frame) {
        const double t = static_cast<double>(frame) / rate;
        samples.push_back(static_cast<std::int16_t>(
            std::lround(leftLevel * fullScale * std::sin(2 * pi * leftHz * t))));
        samples.push_back(static_cast<std::int16_t>(
            std::lround(rightLevel * fullScale * std::sin(2 * pi * rightHz * t))));
    }
    mci::test::writeWave16(QFile::encodeName(path).toStdString(), rate, 2, samples);
    return samples;
}

mci::test::WaveContents contentsOf(const QString& path)
{
    return mci::test::readWave(QFile::encodeName(path).toStdString());
}

// The RIFF and data sizes in the header of a 44-byte-header wave file agree with its length.
bool headerMatchesData(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 44 || bytes.mid(36, 4) != "data")
        return false;
    const auto riff = qFromLittleEndian<quint32>(bytes.constData() + 4);
    const auto data = qFromLittleEndian<quint32>(bytes.constData() + 40);
    return riff == static_cast<quint32>(bytes.size() - 8)
           && data == static_cast<quint32>(bytes.size() - 44);
}

// The replay may already be writing: its header is brought up to date after each write, so it
// matches the data between two writes.
bool headerKeepsUpWithData(const QString& path)
{
    return QTest::qWaitFor([&] { return headerMatchesData(path); }, 2000);
}

// Channel `channel` of interleaved stereo frames [from, from + count).
std::vector<std::int32_t> channelOf(const std::vector<std::int32_t>& stereo, int channel,
                                    std::size_t from, std::size_t count)
{
    std::vector<std::int32_t> one;
    for (std::size_t frame = from; frame < from + count && 2 * frame + 1 < stereo.size(); ++frame)
        one.push_back(stereo[2 * frame + static_cast<std::size_t>(channel)]);
    return one;
}

// The level of one tone in 16-bit samples, as a fraction of full scale.
double levelOf(const std::vector<std::int32_t>& samples, double hz)
{
    const std::vector<double> x(samples.begin(), samples.end());
    const kvtest::Middle middle = kvtest::middleOf(x);
    return kvtest::fitSine(x, rate, hz, middle.from, middle.to).amplitude / fullScale;
}

// With the null device, one capture file takes everything the run plays, the engine's real-time
// passes as well as the program's own plays, one after the other, in the format of the first.
class NullDeviceCapture : public ProgramInUse
{
protected:
    void SetUp() override
    {
        ProgramInUse::SetUp();
        qputenv("LENTARO_AUDIO_SPEED", "4");
        song_ = path(QStringLiteral("music/song.wav"));
        QDir().mkpath(QFileInfo(song_).absolutePath());
        played_ = writeSong(song_);
    }

    QString song_;
    std::vector<std::int16_t> played_;
};

TEST_F(NullDeviceCapture, AStereoPlayARealTimePassAndItsReplayFollowOneAnotherInOrder)
{
    int dones = 0;
    mci::test::WaveContents slowed;
    const std::vector<Person::Step> steps{
        {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
        {QStringLiteral("opened"),
         [this] {
             prompts_.queueFile(song_);
             press(main(), Qt::Key_O, Qt::ControlModifier);
         },
         [] { return !main().state().cdView; },
         [&] {
             QObject::connect(control<mci::MMControl>(main(), "WaveControl"), &mci::MMControl::done,
                              &main(), [&](int) { ++dones; });
         }},
        {QStringLiteral("played"), [] { press(main(), Qt::Key_Space); }, [&] { return dones == 1; },
         [this] { EXPECT_TRUE(headerKeepsUpWithData(capture_)); }},
        {QStringLiteral("transformed"), [] { click(control<QPushButton>(main(), "cmdSlowPlay")); },
         [] { return programState().gvSlowedFileReady; },
         [this] {
             EXPECT_TRUE(programState().gvRealtime);
             EXPECT_TRUE(headerKeepsUpWithData(capture_));
         }},
        // The exit path may delete the working files.
        {QStringLiteral("replayed"),
         {},
         [&] { return dones == 2; },
         [&] { slowed = contentsOf(path(QStringLiteral("tempslow.wav"))); }},
        exitThroughTheMenu(),
    };
    ASSERT_EQ(run(steps, 1), 0);

    const mci::test::WaveContents heard = contentsOf(capture_);
    ASSERT_EQ(slowed.channels, 1);
    EXPECT_TRUE(headerMatchesData(capture_));
    EXPECT_EQ(heard.channels, 2);
    EXPECT_EQ(heard.rate, rate);
    EXPECT_EQ(heard.bits, 16);
    const std::size_t song = played_.size() / 2;
    const std::size_t pass = slowed.samples.size();
    // The wave device replays whole milliseconds.
    const std::size_t replay = pass * 1000 / rate * rate / 1000;
    ASSERT_GT(pass, song);
    ASSERT_GE(heard.samples.size(), 2 * (song + pass + replay));

    // The song as it is, then the pass as the engine wrote it, then its replay, each mono
    // sound on both channels.
    EXPECT_TRUE(std::equal(played_.begin(), played_.end(), heard.samples.begin()));
    EXPECT_NEAR(levelOf(channelOf(heard.samples, 0, 0, song), leftHz), leftLevel, 0.01);
    EXPECT_NEAR(levelOf(channelOf(heard.samples, 1, 0, song), rightHz), rightLevel, 0.01);
    for (int channel : {0, 1}) {
        SCOPED_TRACE(channel);
        const std::vector<std::int32_t> live = channelOf(heard.samples, channel, song, pass);
        EXPECT_EQ(live, slowed.samples);
        // Channel choice 0 mixes the two channels at half their level each.
        EXPECT_NEAR(levelOf(live, leftHz), leftLevel / 2, 0.02);
        EXPECT_NEAR(levelOf(live, rightHz), rightLevel / 2, 0.02);
        EXPECT_TRUE(std::equal(slowed.samples.begin(), slowed.samples.begin() + replay,
                               channelOf(heard.samples, channel, song + pass, replay).begin()));
    }
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
