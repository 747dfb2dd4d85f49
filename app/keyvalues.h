#pragma once

#include "platform/registry/Value.h"

#include <QString>
#include <QVariant>

namespace lentaro {

// Values of keys under HKEY_CURRENT_USER, as the preferences store and read them.

// The key of the preferences, one value each.
inline const QString preferencesKey =
    QStringLiteral("Software\\VB and VBA Program Settings\\Lentaro\\Preferences");

// Writes one value, making the key when it is missing. When that fails the old value stays; a
// damaged settings file or a failed save is told the user (settingsproblems.h).
void SetKeyValue(const QString& sKeyName, const QString& sValueName, const QVariant& vValueSetting,
                 registry::ValueType lValueType);

// Writes one value into an existing key: String as its UTF-8 text and a zero byte, Binary as the
// text alone, Dword as a 32-bit number. Returns 0 on success, else the registry's status
// (registry::Status) as a number, or 13 (invalid data) for a value that does not fit the type
// or a type not listed here. A damaged settings file or a failed save is also told the user.
int SetValueEx(const QString& sKeyName, const QString& sValueName, registry::ValueType lType,
               const QVariant& vValue);

// Reads one value: with lValueType Dword its number, with any other type its data as UTF-8 text
// of any length (a text type without its final zero byte). lValueType receives the stored
// value's type. Empty (an invalid QVariant) when the key or the value is missing or unreadable;
// a damaged settings file is also told the user. storeUnreachable, when given, says whether the
// store itself could not be asked (its lock held too long, its files unreadable): then a value
// may well be stored, and must not be written over as if it were missing.
QVariant GetKeyValue(const QString& sKeyName, const QString& sValueName,
                     registry::ValueType& lValueType, bool* storeUnreachable = nullptr);

} // namespace lentaro
