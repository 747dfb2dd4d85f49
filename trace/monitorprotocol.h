#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

class QIODevice;

namespace lentaro::monitor {

// The monitor is another program listening on a local socket named "Orvane Sentrix" or
// "Orvane Sentrix - <anything>" in the temporary folder (where QLocalServer::listen puts a plain
// name). Each request is answered with one signed 32-bit result.
// On the wire, big-endian: request = message, wParam, byte count, UTF-8 bytes; answer = result.

inline constexpr std::uint32_t SetText = 12;      // a trace line; wParam = its length
inline constexpr std::uint32_t Query = 1124;      // poll while paused, wParam tells which
inline constexpr std::uint32_t StillPaused = 1;   // answer 0 ends the pause
inline constexpr std::uint32_t Resume = 2;        // a nonzero answer ends the pause
inline constexpr std::int32_t PauseRequest = 128; // answer to SetText that pauses the program

// True for "Orvane Sentrix" and for names beginning "Orvane Sentrix -".
bool isMonitorName(const QString& name);

struct Request {
    std::uint32_t message = 0;
    std::uint32_t wParam = 0;
    QByteArray text;
};

QByteArray encodeRequest(const Request& request);
QByteArray encodeAnswer(std::int32_t result);

// Reads one request or answer from a blocking device; false when it did not arrive in time or
// the connection closed.
bool readRequest(QIODevice& device, Request& request, int timeoutMs);
bool readAnswer(QIODevice& device, std::int32_t& result, int timeoutMs);

} // namespace lentaro::monitor
