#pragma once

#include "app/exitrequests.h"

#include <QString>
#include <QVariantList>

namespace lentaro {

// One D-Bus method call.
struct BusCall {
    enum class Bus { System, Session };

    Bus bus = Bus::System;
    QString service;
    QString path;
    QString interface;
    QString method;
    QVariantList arguments;
};

// The message buses as the exit requests use them; tests record the calls instead.
class BusCaller
{
public:
    virtual ~BusCaller() = default;

    virtual bool serviceRegistered(BusCall::Bus bus, const QString& service) = 0;
    // True when the call got a reply that is not an error.
    virtual bool call(const BusCall& call) = 0;
};

// The buses of this machine through QtDBus; a bus that cannot be reached refuses every call.
class QtBusCaller : public BusCaller
{
public:
    bool serviceRegistered(BusCall::Bus bus, const QString& service) override;
    bool call(const BusCall& call) override;
};

// Exit requests over systemd-logind: a reboot is the manager's Reboot, a shutdown or power-off
// its PowerOff (either without asking for authentication: what the user may not do is refused).
// A log-off asks the desktop's session manager when there is one (GNOME's Logout, forced when
// the request carries a force flag), else ends the caller's login session (Terminate). logind
// ends every program itself, so the force flags change nothing there.
class LogindExitRequests : public ExitRequests
{
public:
    explicit LogindExitRequests(BusCaller& bus);

    bool exitWindowsEx(std::uint32_t request) override;

private:
    BusCaller& bus_;
};

} // namespace lentaro
