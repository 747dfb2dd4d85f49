#pragma once

#include <QLocalSocket>
#include <QString>

#include <cstdint>
#include <memory>

namespace lentaro {

// The connection to the monitor program, if one is listening.
class MonitorLink
{
public:
    // Connects to the first socket in `folder` whose name is a monitor's (in name order);
    // nullptr when none answers.
    static std::unique_ptr<MonitorLink> find(const QString& folder);

    // Sends one request and waits for its answer. A monitor that has gone away, or does not
    // answer in time, answers 0 (and is not asked again).
    std::int32_t send(std::uint32_t message, std::uint32_t wParam, const QByteArray& text = {});

private:
    QLocalSocket socket_;
};

} // namespace lentaro
