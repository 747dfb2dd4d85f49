#include "trace/monitorlink.h"

#include "trace/monitorprotocol.h"

#include <QDir>

namespace lentaro {

namespace {

constexpr int connectTimeoutMs = 1000;
constexpr int answerTimeoutMs = 5000;

} // namespace

std::unique_ptr<MonitorLink> MonitorLink::find(const QString& folder)
{
    const QFileInfoList candidates =
        QDir(folder).entryInfoList(QDir::System | QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& candidate : candidates) {
        if (!monitor::isMonitorName(candidate.fileName()))
            continue;
        auto link = std::make_unique<MonitorLink>();
        link->socket_.connectToServer(candidate.absoluteFilePath());
        if (link->socket_.waitForConnected(connectTimeoutMs))
            return link;
    }
    return nullptr;
}

std::int32_t MonitorLink::send(std::uint32_t message, std::uint32_t wParam, const QByteArray& text)
{
    if (socket_.state() != QLocalSocket::ConnectedState)
        return 0;
    socket_.write(monitor::encodeRequest({message, wParam, text}));
    std::int32_t answer = 0;
    if (!socket_.waitForBytesWritten(answerTimeoutMs)
        || !monitor::readAnswer(socket_, answer, answerTimeoutMs)) {
        // A late answer would be taken for the next request's: drop the monitor.
        socket_.abort();
        return 0;
    }
    return answer;
}

} // namespace lentaro
