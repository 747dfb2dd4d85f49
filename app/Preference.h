#pragma once

#include <QString>
#include <QVariant>

namespace lentaro {

// One named user setting, stored as one Binary value of text under preferencesKey
// (keyvalues.h). Naming it loads the stored text; giving it a value stores that at once.
// Instances share nothing but the registry: each user makes its own short-lived one.
class Preference
{
public:
    // The loaded text, or "N/A" when the value is missing, unreadable or empty, after
    // setPreferenceName; the given value, of its own type, after setValue.
    QVariant Value() const;
    // Holds the value and stores its text (preferenceText) under the preference's name.
    void setValue(const QVariant& vNewValue);

    QString PreferenceName() const;
    // Takes the name and loads the stored text; writes nothing.
    void setPreferenceName(const QString& vNewValue);

    // The last load found the settings store out of reach (GetKeyValue's storeUnreachable): the
    // preference reads as unset, but a value may be stored all the same.
    bool storeUnreachable() const { return storeUnreachable_; }

private:
    QString preferenceName_;
    QVariant value_;
    bool storeUnreachable_ = false;
};

// The text a preference holds when it is unset.
inline const QString unsetPreference = QStringLiteral("N/A");

} // namespace lentaro
