#include "tests/cd/support/converted_wave.h"

#include "soundfile/sound_stream.h"
#include "tests/engine/support/tone.h"

#include <QFile>
#include <QtEndian>

namespace lentaro::test {

namespace {

// Walks the chunks: the RIFF size must be the file's size less 8, and the data chunk must end
// exactly where the file does, as a whole conversion leaves it.
bool headerAgreesWithSize(const QByteArray& bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    if (qFromLittleEndian<quint32>(bytes.constData() + 4) != quint32(bytes.size() - 8))
        return false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (bytes.mid(at, 4) == "data")
            return at + 8 + qsizetype(size) == bytes.size();
        at += 8 + qsizetype(size) + qsizetype(size % 2);
    }
    return false;
}

} // namespace

ConvertedWave readConvertedWave(const QString& path)
{
    ConvertedWave wave;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return wave;
    wave.headerAgrees = headerAgreesWithSize(file.readAll());
    const auto in = kv::SoundStream::openRead(QFile::encodeName(path).toStdString());
    if (!in || in->lastError() != kv::kOk)
        return wave;
    wave.channels = in->channels();
    wave.sampleRate = int(in->sampleRate());
    wave.bitsPerSample = in->bytesPerSample() * 8;
    wave.frames = in->length() / wave.channels;
    std::vector<std::int32_t> samples(std::size_t(in->length()));
    std::int64_t delivered = 0;
    in->read(samples.data(), std::int64_t(samples.size()), delivered);
    if (delivered != std::int64_t(samples.size()))
        return wave;
    for (std::size_t i = 0; i < samples.size(); i += std::size_t(wave.channels))
        wave.firstChannel.push_back(samples[i] / 2147483648.0);
    wave.readable = true;
    return wave;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double toneFrequency(const ConvertedWave& wave)
{
    const std::size_t n = wave.firstChannel.size();
    return kvtest::measureFrequency(wave.firstChannel, wave.sampleRate, n / 10, n - n / 10);
}

} // namespace lentaro::test
