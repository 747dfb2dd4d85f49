#include "tests/app/app_fixture.h"

#include "app/Preference.h"
#include "app/keyvalues.h"
#include "app/preferences.h"
#include "tests/support/skipping_wait_clock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

namespace lentaro::test {
namespace {

using registry::Value;
using registry::ValueType;

enum class Kind { Boolean, Whole, Text };

// Reads a preference into a variable of the kind and hands back what the variable then holds.
QVariant readAs(Kind kind, const QString& name, const QVariant& defaultVal)
{
    switch (kind) {
    case Kind::Boolean: {
        bool variable = false;
        readPref(name, variable, defaultVal);
        return variable;
    }
    case Kind::Whole: {
        int variable = -12345;
        readPref(name, variable, defaultVal);
        return variable;
    }
    case Kind::Text: {
        QString variable = QStringLiteral("before");
        readPref(name, variable, defaultVal);
        return variable;
    }
    }
    return {};
}

struct ReadCase {
    const char* what;
    std::optional<std::string> stored; // the stored text; nothing: no such value
    Kind kind;
    QString name;
    QVariant defaultVal;
    QVariant expected;
    std::string storedAfter;
};

class ReadPref : public AppTest
{};

TEST_F(ReadPref, ConvertsTheStoredTextOrFallsBackToTheDefaultAndStoresIt)
{
    const std::string longText(70000, 'x');
    const ReadCase cases[] = {
        {"True", "True", Kind::Boolean, "AutoSlow", false, true, "True"},
        {"False", "False", Kind::Boolean, "Show Tips at Startup", true, false, "False"},
        {"any letter case", "fALSE", Kind::Boolean, "Realtime", true, false, "fALSE"},
        {"zero is False", "0", Kind::Boolean, "Realtime", true, false, "0"},
        {"other numbers are True", "-1", Kind::Boolean, "Realtime", false, true, "-1"},
        {"no truth value", "abc", Kind::Boolean, "PreviewEnd", true, true, "True"},
        {"plain number", "44100", Kind::Whole, "RecordingSampleRate", 22050, 44100, "44100"},
        {"number with a unit", "22050 Hz", Kind::Whole, "RecordingSampleRate", 44100, 22050,
         "22050 Hz"},
        {"half to even down", "2.5", Kind::Whole, "SoundQuality", 3, 2, "2.5"},
        {"half to even up", "3.5", Kind::Whole, "digCDNum", 1, 4, "3.5"},
        {"negative", "-1", Kind::Whole, "digCDNum", 1, -1, "-1"},
        {"blanks inside the number", " 1 6", Kind::Whole, "RecordingDepth", 8, 16, " 1 6"},
        {"no number reads as 0", "abc", Kind::Whole, "digCDNum", 1, 0, "abc"},
        {"overflow", "99999999999", Kind::Whole, "digCDNum", 1, 1, "1"},
        {"exponent overflow", "1e400", Kind::Whole, "digCDNum", 1, 1, "1"},
        {"text", "E", Kind::Text, "MCI CD letter", "D", "E", "E"},
        {"UTF-8 text", "Grüße ♪", Kind::Text, "MCI CD letter", "D", QStringLiteral("Grüße ♪"),
         "Grüße ♪"},
        {"text far beyond 255 bytes", longText, Kind::Text, "faspi attempted", "No",
         QString::fromStdString(longText), longText},
        {"N/A is unset", "N/A", Kind::Text, "faspi attempted", "No", "No", "No"},
        {"empty is unset", "", Kind::Whole, "RecordingSampleRate", 44100, 44100, "44100"},
        {"missing is unset", std::nullopt, Kind::Boolean, "ShowTooltips", true, true, "True"},
        {"missing number", std::nullopt, Kind::Whole, "ChannelToTransform", 0, 0, "0"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.stored)
            storePreferenceText(c.name, *c.stored);
        EXPECT_EQ(readAs(c.kind, c.name, c.defaultVal), c.expected);
        const std::optional<Value> after = storedPreference(c.name);
        ASSERT_TRUE(after);
        EXPECT_EQ(*after, Value::binary(c.storedAfter));
        EXPECT_EQ(trappedError(), 0);
    }
}

TEST_F(ReadPref, WhileTheStoreIsOutOfReachTheDefaultIsUsedAndTheStoredValueKept)
{
    SkippingWaitClock skippingClock;
    const ScopedOverride skipping(registry::waitClock, skippingClock);
    storePreferenceText("SoundQuality", "2");
    // Another descriptor of the lock file stands for another process holding the store.
    const QByteArray lockFile = QFile::encodeName(registryFolder() + "/user.hive.lock");
    const int held = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    Preference pref;
    pref.setPreferenceName("SoundQuality");
    EXPECT_TRUE(pref.storeUnreachable());
    EXPECT_EQ(pref.Value(), QVariant(unsetPreference));

    int quality = 0;
    readPref("SoundQuality", quality, 3);
    EXPECT_EQ(quality, 3);
    EXPECT_TRUE(shownMessages().isEmpty()) << "nothing was to be saved";

    ::close(held);
    pref.setPreferenceName("AutoSlow"); // missing, not out of reach
    EXPECT_FALSE(pref.storeUnreachable());
    EXPECT_EQ(storedPreference("SoundQuality"), Value::binary("2"));
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(ReadPref, NumbersOutsideAPreferencesRangeAreReplacedByTheDefault)
{
    struct Case {
        const char* name;
        const char* stored;
        int defaultVal;
        int expected;
        const char* storedAfter;
    };
    const Case cases[] = {
        {"SoundQuality", "0", 3, 3, "3"},
        {"SoundQuality", "4", 3, 3, "3"},
        {"SoundQuality", "1", 3, 1, "1"},
        {"soundquality", "7", 2, 2, "2"}, // names compare without regard to case
        {"ChannelToTransform", "3", 0, 0, "0"},
        {"ChannelToTransform", "-1", 0, 0, "0"},
        {"ChannelToTransform", "2", 0, 2, "2"},
        {"RecordMode", "0", 2, 2, "2"},
        {"RecordMode", "3", 1, 1, "1"},
        {"RecordMode", "1", 2, 1, "1"},
        {"RecordingDepth", "12", 16, 16, "16"},
        {"RecordingDepth", "8", 16, 8, "8"},
        {"RecordingSampleRate", "48000", 44100, 44100, "44100"},
        {"RecordingSampleRate", "0", 44100, 44100, "44100"},
        {"RecordingSampleRate", "11025", 44100, 11025, "11025"},
        {"digCDNum", "-1", 1, -1, "-1"}, // no range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.stored);
        storePreferenceText(c.name, c.stored);
        int variable = -12345;
        readPref(c.name, variable, c.defaultVal);
        EXPECT_EQ(variable, c.expected);
        EXPECT_EQ(storedPreference(c.name), Value::binary(c.storedAfter));
    }
}

TEST_F(ReadPref, AFreshUserGetsTheKeyAndTheDefaultsAsBinaryText)
{
    bool autoSlow = false;
    int rate = 0;
    readPref(QStringLiteral("AutoSlow"), autoSlow, true);
    readPref(QStringLiteral("RecordingSampleRate"), rate, 44100);
    EXPECT_TRUE(autoSlow);
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(storedPreference("AutoSlow"), Value::binary("True"));
    EXPECT_EQ(storedPreference("RecordingSampleRate"), Value::binary("44100"));
}

TEST_F(ReadPref, TextStoredByAnotherToolAsAStringLosesItsTerminatingZero)
{
    storePreference("DeleteTempFiles", Value::string("False"));
    storePreference("MCI CD letter", Value::string("N/A"));
    bool deleteTempFiles = true;
    QString letter;
    readPref(QStringLiteral("DeleteTempFiles"), deleteTempFiles, true);
    readPref(QStringLiteral("MCI CD letter"), letter, QStringLiteral("D"));
    EXPECT_FALSE(deleteTempFiles);
    EXPECT_EQ(letter, QStringLiteral("D"));
    EXPECT_EQ(storedPreference("MCI CD letter"), Value::binary("D"));
}

TEST_F(ReadPref, ADefaultThatDoesNotFitTheVariableIsAnErrorAndLeavesItAlone)
{
    bool variable = true;
    readPref(QStringLiteral("AutoSlow"), variable, QStringLiteral("maybe"));
    EXPECT_EQ(trappedError(), 13);
    EXPECT_TRUE(variable);
}

class WritePref : public AppTest
{};

TEST_F(WritePref, StoresTheValueConvertedToTheVariablesKind)
{
    int quality = 0;
    writePref(QStringLiteral("SoundQuality"), quality, QStringLiteral("2"));
    EXPECT_EQ(quality, 2);
    EXPECT_EQ(storedPreference("SoundQuality"), Value::binary("2"));

    bool realtime = true;
    writePref(QStringLiteral("Realtime"), realtime, false);
    EXPECT_FALSE(realtime);
    EXPECT_EQ(storedPreference("Realtime"), Value::binary("False"));

    QString letter;
    writePref(QStringLiteral("MCI CD letter"), letter, QStringLiteral("E"));
    EXPECT_EQ(letter, QStringLiteral("E"));
    EXPECT_EQ(storedPreference("MCI CD letter"), Value::binary("E"));
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(WritePref, AValueOfAnyLengthReadsBack)
{
    const QString longText = QStringLiteral("♪").repeated(1000) + QStringLiteral("/end");
    QString written;
    writePref(QStringLiteral("Grid BeatColor"), written, longText);
    QString read;
    readPref(QStringLiteral("Grid BeatColor"), read, QStringLiteral("default"));
    EXPECT_EQ(read, longText);
}

TEST_F(WritePref, AValueThatDoesNotConvertIsAnErrorAndChangesNothing)
{
    struct Case {
        const char* what;
        QVariant newVal;
        std::int32_t error;
    };
    const Case cases[] = {
        {"no number", QStringLiteral("abc"), 13},
        {"number followed by text", QStringLiteral("2 Hz"), 13},
        {"too large", QStringLiteral("99999999999"), 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        storePreferenceText("SoundQuality", "3");
        int quality = 3;
        writePref(QStringLiteral("SoundQuality"), quality, c.newVal);
        EXPECT_EQ(trappedError(), c.error);
        EXPECT_EQ(quality, 3);
        EXPECT_EQ(storedPreference("SoundQuality"), Value::binary("3"));
    }

    bool flag = true;
    writePref(QStringLiteral("AutoSlow"), flag, QStringLiteral("perhaps"));
    EXPECT_EQ(trappedError(), 13);
    EXPECT_TRUE(flag);
}

class PreferenceObject : public AppTest
{};

TEST_F(PreferenceObject, NamingLoadsWithoutWritingAndAValueIsStoredAtOnce)
{
    Preference pref;
    EXPECT_FALSE(pref.Value().isValid());
    pref.setPreferenceName(QStringLiteral("AutoSlow"));
    EXPECT_EQ(pref.PreferenceName(), QStringLiteral("AutoSlow"));
    EXPECT_EQ(pref.Value(), QVariant(unsetPreference));
    EXPECT_FALSE(storedPreference("AutoSlow"));

    pref.setValue(false);
    EXPECT_EQ(pref.Value(), QVariant(false)); // the given value, of its own type
    EXPECT_EQ(storedPreference("AutoSlow"), Value::binary("False"));

    Preference again;
    again.setPreferenceName(QStringLiteral("autoslow")); // names compare without regard to case
    EXPECT_EQ(again.Value(), QVariant(QStringLiteral("False")));
}

class KeyValues : public AppTest
{};

TEST_F(KeyValues, SetValueExWritesEachTypeItKnowsAndRefusesTheRest)
{
    struct Case {
        const char* name;
        ValueType type;
        QVariant value;
        int result;
        std::optional<Value> stored;
    };
    const Case cases[] = {
        {"string", ValueType::String, QStringLiteral("abc"), 0, Value::string("abc")},
        {"binary", ValueType::Binary, 44100, 0, Value::binary("44100")},
        {"dword", ValueType::Dword, -2, 0, Value::dword(0xFFFFFFFEu)},
        {"dword of text", ValueType::Dword, QStringLiteral("abc"), 13, std::nullopt},
        {"other type", ValueType::MultiString, QStringLiteral("abc"), 13, std::nullopt},
    };
    storePreferenceText("placeholder", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SetValueEx(preferencesKey, c.name, c.type, c.value), c.result);
        EXPECT_EQ(storedPreference(c.name), c.stored);
    }
    EXPECT_NE(SetValueEx(QStringLiteral("Software\\Missing"), "x", ValueType::Binary, 1), 0);
}

TEST_F(KeyValues, GetKeyValueReadsNumbersOrTextAndReportsTheStoredType)
{
    storePreference("number", Value::dword(256));
    storePreferenceText("text", "44100");

    ValueType type = ValueType::Dword;
    EXPECT_EQ(GetKeyValue(preferencesKey, "number", type), QVariant(256));
    EXPECT_EQ(type, ValueType::Dword);

    type = ValueType::Binary;
    EXPECT_EQ(GetKeyValue(preferencesKey, "text", type), QVariant(QStringLiteral("44100")));
    EXPECT_EQ(type, ValueType::Binary);

    EXPECT_FALSE(GetKeyValue(preferencesKey, "missing", type).isValid());
    EXPECT_FALSE(GetKeyValue(QStringLiteral("Software\\Missing"), "text", type).isValid());
}

} // namespace
} // namespace lentaro::test
