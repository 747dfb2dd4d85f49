#include "app/Preference.h"

#include "app/keyvalues.h"
#include "app/preferencetext.h"
#include "trace/tracescope.h"

namespace lentaro {

namespace {

constexpr char module[] = "Preference";

} // namespace

QVariant Preference::Value() const
{
    TraceScope trace(module, "Property Get Value");
    return value_;
}

void Preference::setValue(const QVariant& vNewValue)
{
    TraceScope trace(module, "Property Let Value", {{"vNewValue", vNewValue, preferenceText}});
    trace.run([&] {
        value_ = vNewValue;
        SetKeyValue(preferencesKey, preferenceName_, vNewValue, registry::ValueType::Binary);
    });
}

QString Preference::PreferenceName() const
{
    TraceScope trace(module, "Property Get PreferenceName");
    return preferenceName_;
}

void Preference::setPreferenceName(const QString& vNewValue)
{
    TraceScope trace(module, "Property Let PreferenceName", {{"vNewValue", vNewValue}});
    trace.run([&] {
        preferenceName_ = vNewValue;
        registry::ValueType type = registry::ValueType::Binary;
        const QString stored =
            preferenceText(GetKeyValue(preferencesKey, preferenceName_, type, &storeUnreachable_));
        value_ = stored.isEmpty() ? QVariant(unsetPreference) : QVariant(stored);
    });
}

} // namespace lentaro
