#include "tests/app/app_fixture.h"

#include "app/CRegistry.h"
#include "app/preferences.h"
#include "app/programstate.h"

#include <QDir>
#include <QFileInfo>

namespace lentaro::test {
namespace {

using registry::RootKey;
using registry::ValueType;

class SettingsProblems : public AppTest
{
protected:
    // What the program reads as it starts: preferences of each kind and a machine-wide value,
    // each of which must come out as its default.
    void readSettingsAsAtStart()
    {
        bool tips = false;
        int rate = 0;
        QString letter;
        readPref(QStringLiteral("Show Tips at Startup"), tips, true);
        readPref(QStringLiteral("RecordingSampleRate"), rate, 44100);
        readPref(QStringLiteral("MCI CD letter"), letter, QStringLiteral("D"));
        EXPECT_TRUE(tips);
        EXPECT_EQ(rate, 44100);
        EXPECT_EQ(letter, QStringLiteral("D"));
        CRegistry reg;
        reg.Init(RootKey::LocalMachine);
        EXPECT_EQ(reg.GetValue(QStringLiteral("Software\\Lentaro"), QStringLiteral("AutoPlay"),
                               QStringLiteral("none")),
                  QVariant(QStringLiteral("none")));
    }
};

struct DamageCase {
    const char* what;
    const char* hive;
    bool folderInItsPlace; // else a regular file of junk
};

TEST_F(SettingsProblems, DamagedSettingsFileIsShownOnceARunAndTheDefaultsAreUsed)
{
    const DamageCase cases[] = {
        {"damaged user settings", "user.hive", false},
        {"damaged machine settings", "machine.hive", false},
        {"folder in the user settings' place", "user.hive", true},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.what);
        // A run of its own with a registry folder of its own.
        const QString folder = path(QLatin1String(c.what));
        ASSERT_TRUE(QDir().mkpath(folder));
        qputenv("LENTARO_REGISTRY_DIR", folder.toUtf8());
        programState() = {};
        const QString damaged = folder + QLatin1Char('/') + QLatin1String(c.hive);
        if (c.folderInItsPlace)
            ASSERT_TRUE(QDir().mkdir(damaged));
        else
            writeFile(QLatin1String(c.what) + QLatin1Char('/') + QLatin1String(c.hive), "junk");
        const qsizetype shownBefore = shownMessages().size();

        readSettingsAsAtStart();
        readSettingsAsAtStart();

        const QStringList shown = shownMessages().mid(shownBefore);
        ASSERT_EQ(shown.size(), 1) << shown.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(shown[0].contains(damaged)) << shown[0].toStdString();
        EXPECT_TRUE(shown[0].contains(QStringLiteral("default settings")));
        if (c.folderInItsPlace) {
            EXPECT_TRUE(QFileInfo(damaged).isDir());
            EXPECT_TRUE(shown[0].contains(QStringLiteral("left it as it is")));
        } else {
            EXPECT_EQ(QFileInfo(damaged + QStringLiteral(".bad")).size(), 4);
            EXPECT_TRUE(shown[0].contains(damaged + QStringLiteral(".bad")));
            // The defaults are stored in the fresh settings.
            EXPECT_EQ(storedPreference(QStringLiteral("RecordingSampleRate")),
                      registry::Value::binary("44100"));
        }
    }
}

TEST_F(SettingsProblems, FailingSaveIsShownOnceARunAndTheProgramGoesOn)
{
    // A registry folder that cannot be made, since a file stands in its path.
    writeFile(QStringLiteral("not a folder"), "x");
    qputenv("LENTARO_REGISTRY_DIR", path(QStringLiteral("not a folder/registry")).toUtf8());

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        programState() = {};
        const qsizetype shownBefore = shownMessages().size();

        readSettingsAsAtStart();
        int rate = 0;
        writePref(QStringLiteral("RecordingSampleRate"), rate, 22050);
        writePref(QStringLiteral("RecordingSampleRate"), rate, 11025);
        CRegistry reg;
        reg.Init(RootKey::LocalMachine);
        EXPECT_FALSE(reg.SetValue(QStringLiteral("Software\\Lentaro"), QStringLiteral("AutoPlay"),
                                  1, ValueType::Dword));
        EXPECT_EQ(rate, 11025);

        const QStringList shown = shownMessages().mid(shownBefore);
        ASSERT_EQ(shown.size(), 1) << shown.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(shown[0].contains(QStringLiteral("could not save its settings")));
        EXPECT_TRUE(shown[0].contains(path(QStringLiteral("not a folder"))));
    }
    EXPECT_EQ(trappedError(), 0);
}

} // namespace
} // namespace lentaro::test
