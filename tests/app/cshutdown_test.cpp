#include "tests/app/app_fixture.h"

#include "app/CShutdown.h"
#include "app/logindexitrequests.h"
#include "platform/shell/executablename.h"
#include "trace/runtimeerror.h"

#include <functional>
#include <vector>

namespace lentaro::test {
namespace {

// Records each request and grants or refuses it as told.
class FakeExitRequests : public ExitRequests
{
public:
    bool exitWindowsEx(std::uint32_t request) override
    {
        requests.push_back(request);
        return grant;
    }

    std::vector<std::uint32_t> requests;
    bool grant = true;
};

struct Method {
    const char* name;
    std::function<void(CShutdown&)> call;
    std::uint32_t base;
    std::uint32_t error;
    const char* description;
};

const Method methods[] = {
    {"LogOff", [](CShutdown& s) { s.LogOff(); }, 0, 0x8004472Du, "Could not log-off"},
    {"PowerOff", [](CShutdown& s) { s.PowerOff(); }, 8, 0x8004472Eu, "Could not power-off"},
    {"Reboot", [](CShutdown& s) { s.Reboot(); }, 2, 0x8004472Fu, "Could not reboot"},
    {"Shutdown", [](CShutdown& s) { s.Shutdown(); }, 1, 0x80044730u, "Could not shutdown"},
};

TEST(CShutdown, EachRequestIsItsFlagPlusForce)
{
    for (const std::uint32_t force : {0u, 4u, 16u}) {
        for (const Method& method : methods) {
            SCOPED_TRACE(std::string(method.name) + " force " + std::to_string(force));
            FakeExitRequests fake;
            const ScopedOverride requestsInPlace(exitRequests, fake);
            CShutdown shutdown;
            EXPECT_EQ(shutdown.Force(), 0u);
            shutdown.setForce(force);
            EXPECT_EQ(shutdown.Force(), force);
            EXPECT_NO_THROW(method.call(shutdown));
            EXPECT_EQ(fake.requests, std::vector<std::uint32_t>{method.base + force});
        }
    }
}

TEST(CShutdown, ARefusedRequestRaisesTheMethodsError)
{
    for (const Method& method : methods) {
        SCOPED_TRACE(method.name);
        FakeExitRequests fake;
        fake.grant = false;
        const ScopedOverride requestsInPlace(exitRequests, fake);
        CShutdown shutdown;
        try {
            method.call(shutdown);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), std::int32_t(method.error));
            EXPECT_EQ(error.description(), QString::fromLatin1(method.description));
            EXPECT_EQ(error.source(), executableName() + QStringLiteral(".CShutdown"));
        }
    }
}

// Records the calls; the services listed as registered exist, every call gets the set answer.
class FakeBus : public BusCaller
{
public:
    bool serviceRegistered(BusCall::Bus bus, const QString& service) override
    {
        return bus == BusCall::Bus::Session && sessionServices.contains(service);
    }

    bool call(const BusCall& call) override
    {
        calls.push_back(call);
        return answer;
    }

    QStringList sessionServices;
    std::vector<BusCall> calls;
    bool answer = true;
};

struct ExpectedCall {
    BusCall::Bus bus;
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
    QVariantList arguments;
};

void expectCall(const std::vector<BusCall>& calls, const ExpectedCall& expected)
{
    ASSERT_EQ(calls.size(), 1u);
    const BusCall& call = calls.front();
    EXPECT_EQ(call.bus, expected.bus);
    EXPECT_EQ(call.service, QString::fromLatin1(expected.service));
    EXPECT_EQ(call.path, QString::fromLatin1(expected.path));
    EXPECT_EQ(call.interface, QString::fromLatin1(expected.interface));
    EXPECT_EQ(call.method, QString::fromLatin1(expected.method));
    EXPECT_EQ(call.arguments, expected.arguments);
}

TEST(LogindExitRequests, RebootAndPowerOffGoToLogindsManagerWithoutAuthenticationPrompt)
{
    const std::pair<std::uint32_t, const char*> cases[] = {
        {exitflags::reboot, "Reboot"},
        {exitflags::reboot | exitflags::force, "Reboot"},
        {exitflags::powerOff, "PowerOff"},
        {exitflags::shutdown, "PowerOff"},
        {exitflags::shutdown | exitflags::forceIfHung, "PowerOff"},
    };
    for (const auto& [request, method] : cases) {
        SCOPED_TRACE(request);
        FakeBus bus;
        bus.sessionServices << QStringLiteral("org.gnome.SessionManager");
        LogindExitRequests requests(bus);
        EXPECT_TRUE(requests.exitWindowsEx(request));
        expectCall(bus.calls, {BusCall::Bus::System,
                               "org.freedesktop.login1",
                               "/org/freedesktop/login1",
                               "org.freedesktop.login1.Manager",
                               method,
                               {false}});
    }
}

TEST(LogindExitRequests, LogOffAsksTheDesktopWhenThereIsOneElseEndsTheLoginSession)
{
    struct Case {
        const char* what;
        bool gnome;
        std::uint32_t request;
        ExpectedCall expected;
    };
    const Case cases[] = {
        {"desktop",
         true,
         exitflags::logOff,
         {BusCall::Bus::Session,
          "org.gnome.SessionManager",
          "/org/gnome/SessionManager",
          "org.gnome.SessionManager",
          "Logout",
          {1u}}},
        {"desktop, forced",
         true,
         exitflags::logOff | exitflags::force,
         {BusCall::Bus::Session,
          "org.gnome.SessionManager",
          "/org/gnome/SessionManager",
          "org.gnome.SessionManager",
          "Logout",
          {2u}}},
        {"desktop, forced if hung",
         true,
         exitflags::logOff | exitflags::forceIfHung,
         {BusCall::Bus::Session,
          "org.gnome.SessionManager",
          "/org/gnome/SessionManager",
          "org.gnome.SessionManager",
          "Logout",
          {2u}}},
        {"no desktop",
         false,
         exitflags::logOff,
         {BusCall::Bus::System,
          "org.freedesktop.login1",
          "/org/freedesktop/login1/session/auto",
          "org.freedesktop.login1.Session",
          "Terminate",
          {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeBus bus;
        if (c.gnome)
            bus.sessionServices << QStringLiteral("org.gnome.SessionManager");
        LogindExitRequests requests(bus);
        EXPECT_TRUE(requests.exitWindowsEx(c.request));
        expectCall(bus.calls, c.expected);
    }
}

TEST(LogindExitRequests, ARefusedCallIsARefusedRequest)
{
    FakeBus bus;
    bus.answer = false;
    LogindExitRequests requests(bus);
    const ScopedOverride requestsInPlace(exitRequests, requests);
    CShutdown shutdown;
    try {
        shutdown.Reboot();
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), std::int32_t(0x8004472Fu));
    }
    EXPECT_EQ(bus.calls.size(), 1u);
}

} // namespace
} // namespace lentaro::test
