#include "app/logindexitrequests.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace lentaro {

namespace {

const QString login1 = QStringLiteral("org.freedesktop.login1");
const QString gnomeSessionManager = QStringLiteral("org.gnome.SessionManager");

BusCall managerCall(const QString& method)
{
    const bool interactive = false;
    return {BusCall::Bus::System,
            login1,
            QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"),
            method,
            {interactive}};
}

QDBusConnection connectionTo(BusCall::Bus bus)
{
    return bus == BusCall::Bus::System ? QDBusConnection::systemBus()
                                       : QDBusConnection::sessionBus();
}

} // namespace

bool QtBusCaller::serviceRegistered(BusCall::Bus bus, const QString& service)
{
    const QDBusConnection connection = connectionTo(bus);
    if (!connection.isConnected() || !connection.interface())
        return false;
    const QDBusReply<bool> reply = connection.interface()->isServiceRegistered(service);
    return reply.isValid() && reply.value();
}

bool QtBusCaller::call(const BusCall& call)
{
    QDBusConnection connection = connectionTo(call.bus);
    if (!connection.isConnected())
        return false;
    QDBusMessage message =
        QDBusMessage::createMethodCall(call.service, call.path, call.interface, call.method);
    message.setArguments(call.arguments);
    return connection.call(message).type() == QDBusMessage::ReplyMessage;
}

LogindExitRequests::LogindExitRequests(BusCaller& bus) : bus_(bus)
{
}

bool LogindExitRequests::exitWindowsEx(std::uint32_t request)
{
    if (request & exitflags::reboot)
        return bus_.call(managerCall(QStringLiteral("Reboot")));
    if (request & (exitflags::powerOff | exitflags::shutdown))
        return bus_.call(managerCall(QStringLiteral("PowerOff")));

    if (bus_.serviceRegistered(BusCall::Bus::Session, gnomeSessionManager)) {
        // Logout modes: 1 shows no confirmation, 2 also ignores programs that hold it up.
        const bool forced = request & (exitflags::force | exitflags::forceIfHung);
        const uint mode = forced ? 2u : 1u;
        return bus_.call({BusCall::Bus::Session,
                          gnomeSessionManager,
                          QStringLiteral("/org/gnome/SessionManager"),
                          gnomeSessionManager,
                          QStringLiteral("Logout"),
                          {mode}});
    }
    return bus_.call({BusCall::Bus::System,
                      login1,
                      QStringLiteral("/org/freedesktop/login1/session/auto"),
                      QStringLiteral("org.freedesktop.login1.Session"),
                      QStringLiteral("Terminate"),
                      {}});
}

namespace {

// logind and the desktop through QtDBus.
ExitRequests& systemExitRequests()
{
    static QtBusCaller bus;
    static LogindExitRequests requests(bus);
    return requests;
}

} // namespace

Service<ExitRequests> exitRequests{systemExitRequests};

} // namespace lentaro
