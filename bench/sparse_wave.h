#pragma once

#include <QDataStream>
#include <QFile>
#include <QString>

// A 44.1 kHz stereo 16-bit wave file of `seconds` seconds whose data is a hole in the file.
inline bool writeSparseWave(const QString& path, qint64 seconds) {
  constexpr quint32 rate = 44100;
  constexpr quint16 channels = 2;
  constexpr quint16 bytesPerFrame = channels * 2;
  const auto dataBytes = static_cast<quint32>(seconds * rate * bytesPerFrame);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QDataStream out(&file);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData("RIFF", 4);
  out << quint32(36 + dataBytes);
  out.writeRawData("WAVEfmt ", 8);
  out << quint32(16) << quint16(1) << channels << rate << quint32(rate * bytesPerFrame) << bytesPerFrame << quint16(16);
  out.writeRawData("data", 4);
  out << dataBytes;
  return file.resize(file.pos() + dataBytes);
}
