#include "app/keyvalues.h"

#include "app/preferencetext.h"
#include "app/settingsproblems.h"
#include "platform/registry/Registry.h"
#include "trace/errornumbers.h"
#include "trace/tracescope.h"

#include <cstdint>

namespace lentaro {

namespace {

constexpr char module[] = "slowplay interface";

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

} // namespace

void SetKeyValue(const QString& sKeyName, const QString& sValueName, const QVariant& vValueSetting,
                 registry::ValueType lValueType)
{
    TraceScope trace(module, "Sub SetKeyValue",
                     {{"sKeyName", sKeyName},
                      {"sValueName", sValueName},
                      {"vValueSetting", vValueSetting, preferenceText},
                      {"lValueType", lValueType}});
    trace.run([&] {
        if (!reportedSave(registry::createKey(registry::RootKey::CurrentUser, utf8(sKeyName))).ok())
            return;
        SetValueEx(sKeyName, sValueName, lValueType, vValueSetting);
    });
}

int SetValueEx(const QString& sKeyName, const QString& sValueName, registry::ValueType lType,
               const QVariant& vValue)
{
    TraceScope trace(module, "Function SetValueEx",
                     {{"sKeyName", sKeyName},
                      {"sValueName", sValueName},
                      {"lType", lType},
                      {"vValue", vValue, preferenceText}});
    return trace.run(errorNumbers::typeMismatch, [&] {
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
                return errorNumbers::typeMismatch;
            data = registry::Value::dword(std::uint32_t(*number));
            break;
        }
        default:
            return errorNumbers::typeMismatch;
        }
        return int(reportedSave(registry::setValue(registry::RootKey::CurrentUser, utf8(sKeyName),
                                                   utf8(sValueName), data))
                       .status);
    });
}

QVariant GetKeyValue(const QString& sKeyName, const QString& sValueName,
                     registry::ValueType& lValueType, bool* storeUnreachable)
{
    TraceScope trace(
        module, "Function GetKeyValue",
        {{"sKeyName", sKeyName}, {"sValueName", sValueName}, {"lValueType", lValueType}});
    return trace.run(QVariant(), [&] {
        registry::Value value;
        const registry::Result read = reportedRead(registry::getValue(
            registry::RootKey::CurrentUser, utf8(sKeyName), utf8(sValueName), value));
        if (storeUnreachable) {
            *storeUnreachable = read.status == registry::Status::IoError
                                || read.status == registry::Status::LockTimeout;
        }
        if (!read.ok())
            return QVariant();
        const registry::ValueType asked = lValueType;
        lValueType = value.type;
        if (asked == registry::ValueType::Dword) {
            if (value.data.size() != 4)
                return QVariant();
            return QVariant(
                int(registry::Value{registry::ValueType::Dword, value.data}.number().value()));
        }
        // Another tool may have stored the text with its terminating zero; the zero is no part of it.
        const std::string bytes = value.text().value_or(value.bytes());
        return QVariant(QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));
    });
}

} // namespace lentaro
