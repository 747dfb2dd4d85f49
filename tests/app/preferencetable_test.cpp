#include "tests/app/app_fixture.h"

#include "app/preferencetable.h"
#include "app/preferencetext.h"
#include "app/programstate.h"

#include <algorithm>
#include <string>
#include <vector>

namespace lentaro::test {
namespace {

using registry::Value;

std::string utf8(const QString& text)
{
    return text.toStdString();
}

// The row's variable in the program state, as the text a preference stores.
QString heldText(const PreferenceRow& row)
{
    return std::visit(
        [](const auto& variable) {
            return preferenceText(QVariant(programState().*variable.member));
        },
        row.variable);
}

QString defaultText(const PreferenceRow& row)
{
    return std::visit(
        [](const auto& variable) { return preferenceText(QVariant(variable.defaultValue)); },
        row.variable);
}

// Puts a value other than the default into the row's variable, so that a reading that leaves
// the variable alone shows.
void spoilVariable(const PreferenceRow& row)
{
    std::visit(
        [](const auto& variable) {
            using T = std::decay_t<decltype(variable.defaultValue)>;
            if constexpr (std::is_same_v<T, bool>)
                programState().*variable.member = !variable.defaultValue;
            else
                programState().*variable.member = variable.defaultValue + 12345;
        },
        row.variable);
}

bool isWholeNumber(const PreferenceRow& row)
{
    return std::holds_alternative<PreferenceVariable<int>>(row.variable);
}

// A stored text the row takes that is not its default: the other truth value, another allowed
// number, or for a number without a range -1.
std::string otherAllowedText(const PreferenceRow& row)
{
    if (!isWholeNumber(row))
        return defaultText(row) == "True" ? "False" : "True";
    const int defaultValue = std::get<PreferenceVariable<int>>(row.variable).defaultValue;
    for (const int value : row.allowedValues) {
        if (value != defaultValue)
            return std::to_string(value);
    }
    return "-1";
}

// Stored texts the row cannot take: no truth value, a number beyond an int, the numbers just
// outside its allowed values and one between them.
std::vector<std::string> damagedTexts(const PreferenceRow& row)
{
    if (!isWholeNumber(row))
        return {"abc", "Truth"};
    std::vector<std::string> texts = {"99999999999"};
    if (!row.allowedValues.empty()) {
        const auto [lowest, highest] =
            std::minmax_element(row.allowedValues.begin(), row.allowedValues.end());
        texts.push_back(std::to_string(*lowest - 1));
        texts.push_back(std::to_string(*highest + 1));
        if (!row.allows(*lowest + 1))
            texts.push_back(std::to_string(*lowest + 1));
    }
    return texts;
}

class PreferenceTable : public AppTest
{};

TEST_F(PreferenceTable, EachRowTakesAStoredValueItAllows)
{
    for (const PreferenceRow& row : preferenceTable()) {
        const std::string stored = otherAllowedText(row);
        SCOPED_TRACE(std::string(row.name) + " " + stored);
        storePreferenceText(row.name, stored);

        readPreference(row);

        EXPECT_EQ(heldText(row), QString::fromStdString(stored));
        EXPECT_EQ(storedPreference(row.name), Value::binary(stored));
    }
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(PreferenceTable, EachRowReplacesADamagedValueByItsDefaultAndStoresIt)
{
    for (const PreferenceRow& row : preferenceTable()) {
        for (const std::string& damaged : damagedTexts(row)) {
            SCOPED_TRACE(std::string(row.name) + " " + damaged);
            storePreferenceText(row.name, damaged);
            spoilVariable(row);

            readPreference(row);

            EXPECT_EQ(heldText(row), defaultText(row));
            EXPECT_EQ(storedPreference(row.name), Value::binary(utf8(defaultText(row))));
        }
    }
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(PreferenceTable, AFreshUserGetsEveryDefaultInTheProgramStateAndInTheStore)
{
    for (const PreferenceRow& row : preferenceTable())
        spoilVariable(row);

    readPreferences();

    for (const PreferenceRow& row : preferenceTable()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(heldText(row), defaultText(row));
        EXPECT_EQ(storedPreference(row.name), Value::binary(utf8(defaultText(row))));
        if (isWholeNumber(row)) {
            EXPECT_TRUE(row.allows(std::get<PreferenceVariable<int>>(row.variable).defaultValue));
        }
    }
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(PreferenceTable, RowsAreFoundByNameWithoutRegardToCase)
{
    const PreferenceRow* row = findPreference(QStringLiteral("soundquality"));
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->name, "SoundQuality");
    EXPECT_NE(findPreference(QStringLiteral("show tips at startup")), nullptr);
    // Preferences that fill no program-state variable have no row.
    EXPECT_EQ(findPreference(QStringLiteral("MCI CD letter")), nullptr);
    EXPECT_EQ(findPreference(QStringLiteral("dbVersion")), nullptr);
    EXPECT_EQ(findPreference(QStringLiteral("SoundQuality ")), nullptr);
}

} // namespace
} // namespace lentaro::test
