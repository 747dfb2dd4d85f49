#pragma once

#include "app/programstate.h"

#include <QString>

#include <variant>
#include <vector>

namespace lentaro {

// A program-state variable of one kind and the value a fresh user gets in it.
template <typename T>
struct PreferenceVariable {
    T ProgramState::*member;
    T defaultValue;
};

// One preference that fills a program-state variable.
struct PreferenceRow {
    const char* name;
    std::variant<PreferenceVariable<bool>, PreferenceVariable<int>> variable;
    // The values a whole-number preference can take; empty: any.
    std::vector<int> allowedValues;

    bool allows(int value) const;
};

// Every preference that fills a program-state variable, in the order of the preference list.
const std::vector<PreferenceRow>& preferenceTable();

// The row of the preference prefName, names compared as the registry compares them: without
// regard to case. Nullptr for a preference that fills no program-state variable.
const PreferenceRow* findPreference(const QString& prefName);

// readPref of the row's preference into its variable, with the row's default.
void readPreference(const PreferenceRow& row);

// Reads every row's preference into the program state.
void readPreferences();

} // namespace lentaro
