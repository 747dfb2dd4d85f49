#pragma once

#include "platform/registry/RootKey.h"
#include "platform/registry/Value.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>

namespace lentaro {

// Registry access below one root key: keys made, tested, listed and deleted, values of the
// common types read and written as program values. Key names are paths of names joined by "\".
//
// An empty key name raises RuntimeError 0x80044651 "Invalid KeyName value" (source: the
// executable's name + ".CRegistry") from CreateKey, DeleteKey, DeleteValue, KeyExists, SetValue
// and ValueType; the listings and GetValue take it as the root key itself. Every other failure
// shows in the result: false, 0, or GetValue's default.
class CRegistry
{
public:
    static constexpr std::int32_t invalidKeyNameError = std::int32_t(0x80040000u + 18001u);

    // Works under HKEY_CLASSES_ROOT until told otherwise.
    CRegistry() = default;

    void Init(registry::RootKey root);
    registry::RootKey RootKey() const;
    void setRootKey(registry::RootKey root);

    // True when the key exists now; keys missing on the way are made too.
    bool CreateKey(const QString& KeyName);
    // Deletes the key with all its sub-keys and values.
    bool DeleteKey(const QString& KeyName);
    bool DeleteValue(const QString& KeyName, const QString& ValueName);
    bool KeyExists(const QString& KeyName);

    // Fill the list with the names and return their count; 0 and an empty list when the key
    // cannot be read.
    long GetAllSubKeys(const QString& KeyName, QStringList& SubKeys);
    long GetAllValueNames(const QString& KeyName, QStringList& ValueNames);

    // The stored value as a program value, or Default when it is missing:
    //   String, MultiString     QString without the final zero (a multi-string keeps the zeros
    //                           between its parts)
    //   ExpandString            QString with %NAME% replaced by the environment variable's value
    //   Dword, DwordBigEndian   int (the 4 bytes in their order)
    //   any other type          QByteArray of the stored bytes
    QVariant GetValue(const QString& KeyName, const QString& ValueName,
                      const QVariant& Default = QVariant());

    // Makes the key when missing, then writes Value as TypeCode asks:
    //   String, ExpandString   the text of Value with a zero byte; stored as ExpandString when it
    //                          holds a "%" and another "%" at least two characters further on
    //   Binary                 a QByteArray's bytes
    //   Dword, DwordBigEndian  a 16- or 32-bit integer, stored as Dword, little-endian
    // Any other type, or a Value of the wrong kind, writes nothing and gives false.
    bool SetValue(const QString& KeyName, const QString& ValueName, const QVariant& Value,
                  registry::ValueType TypeCode);

    // The stored value's type; None (0) when there is no such value.
    registry::ValueType ValueType(const QString& KeyName, const QString& ValueName);

private:
    registry::RootKey rootKey_ = registry::RootKey::ClassesRoot;
};

} // namespace lentaro
