#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

namespace lentaro::test {

// A whole 16-bit mono wave file at 8,000 frames a second holding `samples` (little-endian).
inline QByteArray monoWave(const QByteArray& samples)
{
    constexpr quint32 rate = 8000;
    const auto dataBytes = static_cast<quint32>(samples.size());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    return bytes + samples;
}

// A wave file (folders made) of `seconds` seconds, as monoWave writes them; every sample of
// second k holds k + 1, so what is heard tells where it came from.
inline QString secondsWave(const QString& path, int seconds)
{
    QByteArray samples;
    QDataStream out(&samples, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (int second = 0; second < seconds; ++second) {
        for (int frame = 0; frame < 8000; ++frame)
            out << qint16(second + 1);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(monoWave(samples));
    return path;
}

} // namespace lentaro::test
