#include "tests/waveview/wave_view_fixture.h"

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sample_format.h"
#include "soundfile/sound_stream.h"

#include "app/programstate.h"
#include "waveview/wavechart.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace lentaro::test {

namespace {

// Writes frames whose every channel holds value(frame) (16-bit scale).
void writeFrames(const QString& path, const WaveFormat& format, double seconds,
                 const std::function<int(std::int64_t)>& value)
{
    const std::int64_t frames = std::llround(seconds * format.rate);
    {
        auto out = kv::SoundStream::openWrite(
            // 8-bit wave files are unsigned: the handler's own choice.
            kv::SampleFormat::make(float(format.rate), format.bytesPerSample,
                                   format.bytesPerSample == 1 ? kv::kUnset : kv::kEncodingSigned,
                                   format.channels),
            path.toStdString(), kv::kFileTypeWav);
        ASSERT_TRUE(out);
        ASSERT_EQ(out->lastError(), kv::kOk);
        std::vector<std::int32_t> samples;
        samples.reserve(std::size_t(frames * format.channels));
        for (std::int64_t frame = 0; frame < frames; ++frame)
            for (int channel = 0; channel < format.channels; ++channel)
                samples.push_back(value(frame) * 65536);
        if (!samples.empty()) {
            ASSERT_EQ(out->write(samples.data(), std::int64_t(samples.size())), kv::kOk);
        }
        ASSERT_EQ(out->close(), kv::kOk);
    }
    if (!format.extraChunk)
        return;
    // A "LIST" chunk before "data", the RIFF size grown to match.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const int data = bytes.indexOf("data");
    ASSERT_GT(data, 0);
    QByteArray chunk("LIST");
    const QByteArray body("INFOISFT\x06\0\0\0tests\0", 18);
    const quint32 size = quint32(body.size());
    chunk.append(reinterpret_cast<const char*>(&size), 4).append(body);
    bytes.insert(data, chunk);
    const quint32 riff = quint32(bytes.size() - 8);
    bytes.replace(4, 4, QByteArray(reinterpret_cast<const char*>(&riff), 4));
    file.resize(0);
    file.seek(0);
    file.write(bytes);
}

} // namespace

void writeClickTrain(const QString& path, const WaveFormat& format, double seconds, int amplitude,
                     int periodMs)
{
    const std::int64_t period = std::int64_t(format.rate) * periodMs / 1000;
    writeFrames(path, format, seconds,
                [&](std::int64_t frame) { return frame % period < clickFrames ? amplitude : 0; });
}

void writeSine(const QString& path, const WaveFormat& format, double seconds, double hz,
               int amplitude)
{
    writeFrames(path, format, seconds, [&](std::int64_t frame) {
        return int(std::lround(amplitude * std::sin(2 * M_PI * hz * double(frame) / format.rate)));
    });
}

void WaveViewTest::SetUp()
{
    WindowTest::SetUp();
    programState().gvGraphStep = 20;
    programState().gvSamplesPerMs = 44.1f;
}

frmScrollTime& WaveViewTest::load(QSize size)
{
    auto* view = new frmScrollTime(host_);
    view->resize(size);
    QCoreApplication::processEvents();
    return *view;
}

QString WaveViewTest::lastMessage() const
{
    const QStringList messages = shownMessages();
    return messages.isEmpty() ? QString() : messages.last();
}

std::vector<int> clickColumns(frmScrollTime& view)
{
    const QImage image = view.chart().grab().toImage();
    const QRect plot = view.chart().chartRect();
    const int quiet = plot.top() + 2;
    const int loud = plot.top() + plot.height() / 4;
    std::vector<int> columns;
    bool inClick = false;
    for (int x = plot.left(); x <= plot.right(); ++x) {
        const bool reaches = image.pixel(x, loud) != image.pixel(x, quiet);
        if (reaches && !inClick)
            columns.push_back(x);
        inClick = reaches;
    }
    return columns;
}

} // namespace lentaro::test
