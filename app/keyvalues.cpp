#include "app/keyvalues.h"

#include "app/preferencetext.h"
#include "platform/registry/Registry.h"
#include "trace/tracescope.h"

#include <cstdint>

namespace lentaro {

namespace {

const QString module = QStringLiteral("slowplay interface");
constexpr int invalidData = 13;

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

} // namespace

void SetKeyValue(const QString& sKeyName, const QString& sValueName, const QVariant& vValueSetting,
                 registry::ValueType lValueType)
{
    TraceScope trace(module, QStringLiteral("Sub SetKeyValue"),
                     {{"sKeyName", sKeyName},
                      {"sValueName", sValueName},
                      {"vValueSetting", preferenceText(vValueSetting)},
                      {"lValueType", lValueType}});
    trace.run([&] {
        if (!registry::createKey(registry::RootKey::CurrentUser, utf8(sKeyName)).ok())
            return;
        SetValueEx(sKeyName, sValueName, lValueType, vValueSetting);
    });
}

int SetValueEx(const QString& sKeyName, const QString& sValueName, registry::ValueType lType,
               const QVariant& vValue)
{
    TraceScope trace(module, QStringLiteral("Function SetValueEx"),
                     {{"sKeyName", sKeyName},
                      {"sValueName", sValueName},
                      {"lType", lType},
                      {"vValue", preferenceText(vValue)}});
    int result = invalidData;
    trace.run([&] {
        registry::Value data;
        switch (lType) {
        case registry::ValueType::String:
            data = registry::Value::string(utf8(preferenceText(vValue)));
            break;
        case registry::ValueType::Binary:
            data = registry::Value::binary(utf8(preferenceText(vValue)));
            break;
        case registry::ValueType::Dword: {
            const std::optional<int> number = wholeValueOf(vValue);
            if (!number)
                return;
            data = registry::Value::dword(std::uint32_t(*number));
            break;
        }
        default:
            return;
        }
        const registry::Result written = registry::setValue(
            registry::RootKey::CurrentUser, utf8(sKeyName), utf8(sValueName), data);
        result = int(written.status);
    });
    return result;
}

QVariant GetKeyValue(const QString& sKeyName, const QString& sValueName,
                     registry::ValueType& lValueType)
{
    TraceScope trace(module, QStringLiteral("Function GetKeyValue"),
                     {{"sKeyName", sKeyName}, {"sValueName", sValueName}, {"lValueType", lValueType}});
    QVariant result;
    trace.run([&] {
        registry::Value value;
        if (!registry::getValue(registry::RootKey::CurrentUser, utf8(sKeyName), utf8(sValueName),
                                value)
                 .ok())
            return;
        const registry::ValueType asked = lValueType;
        lValueType = value.type;
        if (asked == registry::ValueType::Dword) {
            if (value.data.size() == 4)
                result = int(registry::Value{registry::ValueType::Dword, value.data}.number().value());
            return;
        }
        // Another tool may have stored the text with its terminating zero; the zero is no part of it.
        const std::string bytes = value.text().value_or(value.bytes());
        result = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    });
    return result;
}

} // namespace lentaro
