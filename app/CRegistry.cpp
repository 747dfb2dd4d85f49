#include "app/CRegistry.h"

#include "app/preferencetext.h"
#include "app/settingsproblems.h"
#include "platform/registry/Registry.h"
#include "platform/shell/executablename.h"
#include "trace/runtimeerror.h"

#include <QRegularExpression>

#include <vector>

namespace lentaro {

namespace {

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

QStringList namesOf(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << fromUtf8(name);
    return list;
}

void checkKeyName(const QString& keyName)
{
    if (keyName.isEmpty())
        throw RuntimeError(CRegistry::invalidKeyNameError, QStringLiteral("Invalid KeyName value"),
                           executableName() + QStringLiteral(".CRegistry"));
}

// %NAME% references replaced by the variables' values; unknown names stay as they are written.
QString environmentExpanded(const QString& text)
{
    static const QRegularExpression reference(QStringLiteral("%([^%]+)%"));
    QString result;
    qsizetype copied = 0;
    for (QRegularExpressionMatchIterator it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QByteArray name = match.captured(1).toLocal8Bit();
        result += text.mid(copied, match.capturedStart() - copied);
        result += qEnvironmentVariableIsSet(name.constData())
                      ? qEnvironmentVariable(name.constData())
                      : match.captured();
        copied = match.capturedEnd();
    }
    return result + text.mid(copied);
}

// A "%" followed, two or more characters later, by another: a variable reference may be there.
bool mayHoldReference(const QString& text)
{
    const qsizetype first = text.indexOf(QLatin1Char('%'));
    return first >= 0 && text.indexOf(QLatin1Char('%'), first + 2) >= 0;
}

std::optional<registry::Value> valueToStore(const QVariant& value, registry::ValueType typeCode)
{
    switch (typeCode) {
    case registry::ValueType::String:
    case registry::ValueType::ExpandString: {
        const QString text = preferenceText(value);
        const std::string bytes = utf8(text);
        return mayHoldReference(text) ? registry::Value::expandString(bytes)
                                      : registry::Value::string(bytes);
    }
    case registry::ValueType::Binary:
        if (value.typeId() != QMetaType::QByteArray)
            return std::nullopt;
        return registry::Value::binary(value.toByteArray().toStdString());
    case registry::ValueType::Dword:
    case registry::ValueType::DwordBigEndian:
        switch (value.typeId()) {
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
            return registry::Value::dword(std::uint32_t(value.toInt()));
        default:
            return std::nullopt;
        }
    default:
        return std::nullopt;
    }
}

} // namespace

void CRegistry::Init(registry::RootKey root)
{
    rootKey_ = root;
}

registry::RootKey CRegistry::RootKey() const
{
    return rootKey_;
}

void CRegistry::setRootKey(registry::RootKey root)
{
    rootKey_ = root;
}

bool CRegistry::CreateKey(const QString& KeyName)
{
    checkKeyName(KeyName);
    return reportedSave(registry::createKey(rootKey_, utf8(KeyName))).ok();
}

bool CRegistry::DeleteKey(const QString& KeyName)
{
    checkKeyName(KeyName);
    return reportedSave(registry::deleteKey(rootKey_, utf8(KeyName))).ok();
}

bool CRegistry::DeleteValue(const QString& KeyName, const QString& ValueName)
{
    checkKeyName(KeyName);
    return reportedSave(registry::deleteValue(rootKey_, utf8(KeyName), utf8(ValueName))).ok();
}

bool CRegistry::KeyExists(const QString& KeyName)
{
    checkKeyName(KeyName);
    return reportedRead(registry::findKey(rootKey_, utf8(KeyName))).ok();
}

long CRegistry::GetAllSubKeys(const QString& KeyName, QStringList& SubKeys)
{
    std::vector<std::string> names;
    SubKeys = reportedRead(registry::subKeyNames(rootKey_, utf8(KeyName), names)).ok()
                  ? namesOf(names)
                  : QStringList();
    return long(SubKeys.size());
}

long CRegistry::GetAllValueNames(const QString& KeyName, QStringList& ValueNames)
{
    std::vector<std::string> names;
    ValueNames = reportedRead(registry::valueNames(rootKey_, utf8(KeyName), names)).ok()
                     ? namesOf(names)
                     : QStringList();
    return long(ValueNames.size());
}

QVariant CRegistry::GetValue(const QString& KeyName, const QString& ValueName,
                             const QVariant& Default)
{
    registry::Value value;
    if (!reportedRead(registry::getValue(rootKey_, utf8(KeyName), utf8(ValueName), value)).ok())
        return Default;
    switch (value.type) {
    case registry::ValueType::String:
        return fromUtf8(*value.text());
    case registry::ValueType::ExpandString:
        return environmentExpanded(fromUtf8(*value.text()));
    case registry::ValueType::MultiString: {
        std::string bytes = value.bytes();
        if (!bytes.empty() && bytes.back() == '\0')
            bytes.pop_back();
        return fromUtf8(bytes);
    }
    case registry::ValueType::Dword:
    case registry::ValueType::DwordBigEndian:
        if (const std::optional<std::uint32_t> number = value.number())
            return int(*number);
        break;
    default:
        break;
    }
    return QByteArray::fromStdString(value.bytes());
}

bool CRegistry::SetValue(const QString& KeyName, const QString& ValueName, const QVariant& Value,
                         registry::ValueType TypeCode)
{
    checkKeyName(KeyName);
    if (!reportedSave(registry::createKey(rootKey_, utf8(KeyName))).ok())
        return false;
    const std::optional<registry::Value> stored = valueToStore(Value, TypeCode);
    return stored
           && reportedSave(registry::setValue(rootKey_, utf8(KeyName), utf8(ValueName), *stored))
                  .ok();
}

registry::ValueType CRegistry::ValueType(const QString& KeyName, const QString& ValueName)
{
    checkKeyName(KeyName);
    registry::Value value;
    if (!reportedRead(registry::getValue(rootKey_, utf8(KeyName), utf8(ValueName), value)).ok())
        return registry::ValueType::None;
    return value.type;
}

} // namespace lentaro
