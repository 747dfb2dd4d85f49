#include "waveview/tempwav.h"

#include "tests/waveview/wave_view_fixture.h"
#include "trace/runtimeerror.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

class TempWavTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
};

// Every format shows the same clicks at the same points, at 16-bit scale: the points count
// sample values of all channels, so a stereo file has its clicks at twice the points.
TEST_F(TempWavTest, EveryFormatGivesTheSamePicture)
{
    constexpr int amplitude = 20480; // a whole number of 8-bit steps
    struct Case {
        const char* name;
        WaveFormat format;
    };
    const Case cases[] = {
        {"16-bit mono 44.1 kHz", {44100, 1, 2, false}},
        {"8-bit mono 44.1 kHz", {44100, 1, 1, false}},
        {"24-bit mono 44.1 kHz", {44100, 1, 3, false}},
        {"16-bit stereo 44.1 kHz", {44100, 2, 2, false}},
        {"8-bit stereo 48 kHz", {48000, 2, 1, false}},
        {"16-bit mono 48 kHz with a chunk before the data", {48000, 1, 2, true}},
    };
    constexpr int step = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(QStringLiteral("temp.wav"));
        writeClickTrain(file, c.format, 1.0, amplitude);
        const TempWav wav = readTempWav(file, step);
        const int values = c.format.rate * c.format.channels;
        EXPECT_EQ(wav.series.count(), (values - 1) / step);
        EXPECT_EQ(wav.series.step(), step);
        EXPECT_DOUBLE_EQ(wav.samplesPerMs, c.format.rate / 1000.0);
        EXPECT_EQ(wav.channels, c.format.channels);
        // Point i is sample value i × step: inside a click (40 frames from every 100 ms) it holds
        // the click, elsewhere silence.
        const std::int64_t period = std::int64_t(c.format.rate) / 10 * c.format.channels;
        const std::int64_t clickValues = std::int64_t(clickFrames) * c.format.channels;
        for (std::int64_t i = 1; i <= wav.series.count(); ++i) {
            const std::int64_t value = i * step;
            const int expected = value % period < clickValues ? amplitude : 0;
            ASSERT_EQ(wav.series.point(i), expected) << "point " << i;
        }
    }
}

TEST_F(TempWavTest, PointsStartAtTheStepAndStopBeforeTheEnd)
{
    // 100000 bytes: a 44-byte header and 49978 16-bit sample values, value n holding n (as a
    // 16-bit number).
    const QString file = path(QStringLiteral("temp.wav"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        QByteArray header("RIFF");
        const auto le32 = [&](quint32 v) { header.append(reinterpret_cast<const char*>(&v), 4); };
        const auto le16 = [&](quint16 v) { header.append(reinterpret_cast<const char*>(&v), 2); };
        le32(100000 - 8);
        header.append("WAVEfmt ");
        le32(16);
        le16(1);
        le16(1);
        le32(44100);
        le32(88200);
        le16(2);
        le16(16);
        header.append("data");
        le32(100000 - 44);
        out.write(header);
        for (quint16 n = 0; n < 49978; ++n)
            out.write(reinterpret_cast<const char*>(&n), 2);
    }
    ASSERT_EQ(QFile(file).size(), 100000);
    struct Case {
        int step;
        std::int64_t count;
    };
    for (const Case c : {Case{20, 2498}, Case{1, 49977}, Case{7, 7139}}) {
        const TempWav wav = readTempWav(file, c.step);
        EXPECT_EQ(wav.series.count(), c.count) << "step " << c.step;
        EXPECT_EQ(wav.series.point(1), c.step) << "step " << c.step;
        EXPECT_EQ(wav.series.point(c.count), std::int16_t(c.count * c.step)) << "step " << c.step;
    }
}

TEST_F(TempWavTest, UnreadableFilesRaiseAnErrorSayingWhy)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool written;
        const char* says;
    };
    const Case cases[] = {
        {"missing", {}, false, "File not found"},
        {"empty", {}, true, "cannot be read"},
        {"one byte", QByteArray(1, 'R'), true, "cannot be read"},
        {"not a sound file", QByteArray(500, 'x'), true, "cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(QString::fromLatin1(c.name) + QStringLiteral(".wav"));
        if (c.written) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(c.bytes);
        }
        try {
            readTempWav(file, 20);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_TRUE(error.description().contains(QLatin1String(c.says)))
                << error.description().toStdString();
        }
    }
}

TEST_F(TempWavTest, AWaveOfNoSamplesIsRefused)
{
    const QString file = path(QStringLiteral("temp.wav"));
    writeClickTrain(file, {}, 0.0, 0);
    EXPECT_THROW(readTempWav(file, 20), RuntimeError);
}

} // namespace

} // namespace lentaro::test
