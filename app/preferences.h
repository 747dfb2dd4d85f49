#pragma once

#include <QString>
#include <QVariant>

namespace lentaro {

// Variables filled from and written to preferences (Preference.h).

// Fills targetVariable from the preference prefName. An unset preference takes defaultVal,
// which is stored at once, so a preference exists from its first reading on. A stored text that
// does not fit the variable (not a truth value for a bool, beyond an int's range) or a number
// outside the values the preference's row allows (preferencetable.h) takes defaultVal as well,
// stored in its place. While the settings store is out of reach (its lock held too long, its
// files unreadable) the variable takes defaultVal and nothing is stored.
//   bool:    "True" or "False" in any letter case, or a number: 0 False, anything else True
//   int:     the number the text starts with ("22050 Hz" is 22050), halves to even ("2.5" is 2)
//   QString: the text as stored
void readPref(const QString& prefName, bool& targetVariable, const QVariant& defaultVal);
void readPref(const QString& prefName, int& targetVariable, const QVariant& defaultVal);
void readPref(const QString& prefName, QString& targetVariable, const QVariant& defaultVal);

// sourceVariable := newVal converted to the variable's kind, then stored as the preference's
// text ("2" for the text "2" given to an int). A newVal that does not convert is a run-time
// error (13 Type mismatch, 6 Overflow) for the central handler; nothing changes then.
void writePref(const QString& prefName, bool& sourceVariable, const QVariant& newVal);
void writePref(const QString& prefName, int& sourceVariable, const QVariant& newVal);
void writePref(const QString& prefName, QString& sourceVariable, const QVariant& newVal);

} // namespace lentaro
