#include "controls/vostrel/Vostrel.h"
#include "controls/vostrel/VostrelAbout.h"
#include "controls/vostrel/systeminfo.h"

#include "platform/cd/ScriptedDiscChanges.h"
#include "platform/registry/Registry.h"
#include "tests/app/app_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

// Every control of a test hears the test's scripted source.
class VostrelTest : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        sourceInPlace_.emplace(cd::discChanges, source_);
    }
    void TearDown() override
    {
        sourceInPlace_.reset();
        AppTest::TearDown();
    }

    // The events one control raised, as "Arrival E" and "RemoveComplete E".
    static QStringList eventsOf(Vostrel& control, const std::function<void()>& act)
    {
        QStringList events;
        QObject listening; // the connections end with the call
        QObject::connect(&control, &Vostrel::Arrival, &listening, [&](const QString& drive) {
            events << QStringLiteral("Arrival ") + drive;
        });
        QObject::connect(&control, &Vostrel::RemoveComplete, &listening, [&](const QString& drive) {
            events << QStringLiteral("RemoveComplete ") + drive;
        });
        act();
        return events;
    }

    cd::ScriptedDiscChanges source_;

private:
    std::optional<ScopedOverride<cd::DiscChangeSource>> sourceInPlace_;
};

TEST_F(VostrelTest, EachMediaChangeGivesOneEventWithTheDriveLetter)
{
    struct Case {
        const char* name;
        std::function<void(cd::ScriptedDiscChanges&)> change;
        QStringList expected;
    };
    const Case cases[] = {
        {"arrival", [](auto& s) { s.arrive('E'); }, {"Arrival E"}},
        {"removal", [](auto& s) { s.remove('E'); }, {"RemoveComplete E"}},
        {"insert then eject",
         [](auto& s) { s.arrive('D'), s.remove('D'); },
         {"Arrival D", "RemoveComplete D"}},
        {"two drives", [](auto& s) { s.arrive('D'), s.arrive('F'); }, {"Arrival D", "Arrival F"}},
        {"no drive named", [](auto& s) { s.arrive(0); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Vostrel control;
        EXPECT_EQ(eventsOf(control, [&] { c.change(source_); }), c.expected);
    }
}

TEST_F(VostrelTest, ListeningFollowsEnabledForEachInstanceOnItsOwn)
{
    Vostrel first;
    Vostrel second;
    EXPECT_TRUE(first.Enabled());

    // Two instances each hear; a second true adds no second subscription.
    first.setListening(true);
    QStringList secondEvents;
    EXPECT_EQ(
        eventsOf(first, [&] { secondEvents = eventsOf(second, [&] { source_.arrive('E'); }); }),
        QStringList{"Arrival E"});
    EXPECT_EQ(secondEvents, QStringList{"Arrival E"});

    // False silences that instance alone, at once; true again listens again.
    second.setListening(false);
    EXPECT_FALSE(second.Enabled());
    EXPECT_EQ(eventsOf(second, [&] { source_.remove('E'); }), QStringList{});
    EXPECT_EQ(eventsOf(first, [&] { source_.remove('E'); }), QStringList{"RemoveComplete E"});
    second.setListening(true);
    EXPECT_EQ(eventsOf(second, [&] { source_.arrive('G'); }), QStringList{"Arrival G"});
}

TEST_F(VostrelTest, DestroyedInstanceHearsNothingMore)
{
    auto control = std::make_unique<Vostrel>();
    control.reset();
    source_.arrive('E'); // would reach a deleted control if its subscription outlived it
}

TEST_F(VostrelTest, KeepsItsSizeWhateverItIsGiven)
{
    Vostrel control;
    control.resize(100, 60);
    EXPECT_EQ(control.size(), QSize(32, 32));
    control.setGeometry(5, 5, 10, 10);
    EXPECT_EQ(control.size(), QSize(32, 32));
    EXPECT_FALSE(control.grab().isNull()); // paints its edge without complaint
}

TEST_F(VostrelTest, EnabledRoundTripsThroughTheFormsProperties)
{
    struct Case {
        QVariantMap stored;
        bool enabled;
        QVariantMap written;
    };
    const Case cases[] = {
        {{}, true, {}},
        {{{"Enabled", false}}, false, {{"Enabled", false}}},
        {{{"Enabled", true}}, true, {}},
        {{{"Other", 3}, {"Enabled", false}}, false, {{"Other", 3}, {"Enabled", false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.keys().join(',').toStdString());
        Vostrel control;
        QStringList changed;
        QObject::connect(&control, &Vostrel::propertyChanged,
                         [&](const QString& name) { changed << name; });
        control.readProperties(c.stored);
        EXPECT_EQ(control.Enabled(), c.enabled);
        EXPECT_EQ(changed, QStringList{"Enabled"});
        QVariantMap written = c.stored;
        control.writeProperties(written);
        EXPECT_EQ(written, c.written);
        // What was read back listens as it says.
        EXPECT_EQ(eventsOf(control, [&] { source_.arrive('E'); }).size(), c.enabled ? 1 : 0);
    }
}

TEST_F(VostrelTest, AboutBoxFindsTheSystemInformationToolInTheMachineHive)
{
    using registry::RootKey;
    const std::string msinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const std::string location = "SOFTWARE\\Microsoft\\Shared Tools Location";
    const QString folder = home();
    writeFile(QStringLiteral("MSINFO32.EXE"), "#!/bin/sh\n");

    const auto set = [](const std::string& key, const char* name, const std::string& text) {
        ASSERT_TRUE(registry::createKey(RootKey::LocalMachine, key).ok());
        ASSERT_TRUE(
            registry::setValue(RootKey::LocalMachine, key, name, registry::Value::string(text))
                .ok());
    };

    EXPECT_EQ(systemInfoPath(), std::nullopt);
    set(location, "MSINFO", "/no/such/folder");
    EXPECT_EQ(systemInfoPath(), std::nullopt); // the file must exist there
    set(location, "MSINFO", folder.toStdString());
    EXPECT_EQ(systemInfoPath(), folder + QStringLiteral("/MSINFO32.EXE"));
    set(msinfo, "PATH", "/opt/tools/msinfo");
    EXPECT_EQ(systemInfoPath(), QStringLiteral("/opt/tools/msinfo")); // PATH comes first
    set(msinfo, "PATH", "");
    EXPECT_EQ(systemInfoPath(), folder + QStringLiteral("/MSINFO32.EXE"));
}

TEST_F(VostrelTest, AboutBoxSaysWhenTheToolIsUnavailable)
{
    VostrelAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Vostrel"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version 6.0.0"));
    EXPECT_EQ(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));

    about.cmdSysInfo->click(); // nothing recorded
    ASSERT_TRUE(registry::createKey(registry::RootKey::LocalMachine,
                                    "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO")
                    .ok());
    ASSERT_TRUE(registry::setValue(registry::RootKey::LocalMachine,
                                   "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                                   registry::Value::string("/no/such/msinfo"))
                    .ok());
    about.cmdSysInfo->click(); // recorded, but it does not start
    EXPECT_EQ(shownMessages(),
              QStringList(2, QStringLiteral("System Information Is Unavailable At This Time")));
}

} // namespace

} // namespace lentaro::test
