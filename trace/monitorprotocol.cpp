#include "trace/monitorprotocol.h"

#include <QIODevice>
#include <QtEndian>

namespace lentaro::monitor {

namespace {

const QString monitorName = QStringLiteral("Orvane Sentrix");

// No trace line comes near this; a larger count means a broken peer.
constexpr std::uint32_t maxTextBytes = 16 * 1024 * 1024;

void appendWord(QByteArray& bytes, std::uint32_t word)
{
    char big[4];
    qToBigEndian(word, big);
    bytes.append(big, 4);
}

bool readExactly(QIODevice& device, char* into, qint64 count, int timeoutMs)
{
    qint64 done = 0;
    while (done < count) {
        if (device.bytesAvailable() == 0 && !device.waitForReadyRead(timeoutMs))
            return false;
        const qint64 got = device.read(into + done, count - done);
        if (got < 0)
            return false;
        done += got;
    }
    return true;
}

bool readWord(QIODevice& device, std::uint32_t& word, int timeoutMs)
{
    char big[4];
    if (!readExactly(device, big, 4, timeoutMs))
        return false;
    word = qFromBigEndian<std::uint32_t>(big);
    return true;
}

} // namespace

bool isMonitorName(const QString& name)
{
    return name == monitorName || name.startsWith(monitorName + QStringLiteral(" -"));
}

QByteArray encodeRequest(const Request& request)
{
    QByteArray bytes;
    appendWord(bytes, request.message);
    appendWord(bytes, request.wParam);
    appendWord(bytes, static_cast<std::uint32_t>(request.text.size()));
    bytes.append(request.text);
    return bytes;
}

QByteArray encodeAnswer(std::int32_t result)
{
    QByteArray bytes;
    appendWord(bytes, static_cast<std::uint32_t>(result));
    return bytes;
}

bool readRequest(QIODevice& device, Request& request, int timeoutMs)
{
    std::uint32_t length = 0;
    if (!readWord(device, request.message, timeoutMs)
        || !readWord(device, request.wParam, timeoutMs) || !readWord(device, length, timeoutMs)
        || length > maxTextBytes) {
        return false;
    }
    request.text.resize(static_cast<qsizetype>(length));
    return readExactly(device, request.text.data(), length, timeoutMs);
}

bool readAnswer(QIODevice& device, std::int32_t& result, int timeoutMs)
{
    std::uint32_t word = 0;
    if (!readWord(device, word, timeoutMs))
        return false;
    result = static_cast<std::int32_t>(word);
    return true;
}

} // namespace lentaro::monitor
