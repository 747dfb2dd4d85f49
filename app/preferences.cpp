#include "app/preferences.h"

#include "app/Preference.h"
#include "app/preferencetable.h"
#include "app/preferencetext.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <cmath>
#include <optional>
#include <type_traits>

namespace lentaro {

namespace {

constexpr char module[] = "CdglobalIntl";

// How each kind of variable takes a stored text and an assigned value.
template <typename T>
struct Kind;

template <>
struct Kind<bool> {
    static std::int32_t errorOf(const QVariant&) { return errorNumbers::typeMismatch; }
    static std::optional<bool> fromStored(const QString& text) { return booleanOf(text); }
    static std::optional<bool> fromValue(const QVariant& value) { return booleanValueOf(value); }
};

template <>
struct Kind<int> {
    // A number too large for an int overflows; anything else that is no number mismatches.
    static std::int32_t errorOf(const QVariant& value)
    {
        const QString text = preferenceText(value);
        return numberOf(text) || std::isinf(startingNumber(text)) ? errorNumbers::overflow
                                                                  : errorNumbers::typeMismatch;
    }
    static std::optional<int> fromStored(const QString& text)
    {
        return wholeNumberOf(startingNumber(text));
    }
    static std::optional<int> fromValue(const QVariant& value) { return wholeValueOf(value); }
};

template <>
struct Kind<QString> {
    static std::int32_t errorOf(const QVariant&) { return errorNumbers::typeMismatch; }
    static std::optional<QString> fromStored(const QString& text) { return text; }
    static std::optional<QString> fromValue(const QVariant& value) { return preferenceText(value); }
};

// A number its preference's row does not allow is damage; truth values and texts have no range.
template <typename T>
bool allowed(const QString& prefName, const T& value)
{
    if constexpr (std::is_same_v<T, int>) {
        const PreferenceRow* row = findPreference(prefName);
        return !row || row->allows(value);
    }
    return true;
}

template <typename T>
void readInto(const QString& prefName, T& targetVariable, const QVariant& defaultVal)
{
    TraceScope trace(module, "Sub readPref",
                     {{"prefName", prefName},
                      {"targetVariable", QVariant::fromValue(targetVariable), preferenceText},
                      {"defaultVal", defaultVal, preferenceText}});
    trace.run([&] {
        Preference pref;
        pref.setPreferenceName(prefName);
        if (pref.storeUnreachable()) {
            // The stored value may be fine, only out of reach now: use the default this time and
            // store nothing over it.
            const std::optional<T> fallback = Kind<T>::fromStored(preferenceText(defaultVal));
            if (!fallback)
                throw RuntimeError(Kind<T>::errorOf(defaultVal));
            targetVariable = *fallback;
            return;
        }
        bool defaultStored = false;
        if (preferenceText(pref.Value()) == unsetPreference) {
            pref.setValue(defaultVal);
            defaultStored = true;
        }
        std::optional<T> value = Kind<T>::fromStored(preferenceText(pref.Value()));
        if (!value || !allowed(prefName, *value)) {
            // A damaged setting is replaced rather than reported at every start.
            if (!defaultStored)
                pref.setValue(defaultVal);
            value = Kind<T>::fromStored(preferenceText(defaultVal));
            if (!value)
                throw RuntimeError(Kind<T>::errorOf(defaultVal));
        }
        targetVariable = *value;
    });
}

template <typename T>
void writeFrom(const QString& prefName, T& sourceVariable, const QVariant& newVal)
{
    TraceScope trace(module, "Sub writePref",
                     {{"prefName", prefName},
                      {"sourceVariable", QVariant::fromValue(sourceVariable), preferenceText},
                      {"newVal", newVal, preferenceText}});
    trace.run([&] {
        const std::optional<T> value = Kind<T>::fromValue(newVal);
        if (!value)
            throw RuntimeError(Kind<T>::errorOf(newVal));
        sourceVariable = *value;
        Preference pref;
        pref.setPreferenceName(prefName);
        pref.setValue(QVariant::fromValue(sourceVariable));
    });
}

} // namespace

void readPref(const QString& prefName, bool& targetVariable, const QVariant& defaultVal)
{
    readInto(prefName, targetVariable, defaultVal);
}

void readPref(const QString& prefName, int& targetVariable, const QVariant& defaultVal)
{
    readInto(prefName, targetVariable, defaultVal);
}

void readPref(const QString& prefName, QString& targetVariable, const QVariant& defaultVal)
{
    readInto(prefName, targetVariable, defaultVal);
}

void writePref(const QString& prefName, bool& sourceVariable, const QVariant& newVal)
{
    writeFrom(prefName, sourceVariable, newVal);
}

void writePref(const QString& prefName, int& sourceVariable, const QVariant& newVal)
{
    writeFrom(prefName, sourceVariable, newVal);
}

void writePref(const QString& prefName, QString& sourceVariable, const QVariant& newVal)
{
    writeFrom(prefName, sourceVariable, newVal);
}

} // namespace lentaro
