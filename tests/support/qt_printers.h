#pragma once

#include <QString>
#include <QVariant>

#include <ostream>

// Readable Qt values in test failures; found by argument-dependent lookup, so every test of the
// Qt program that includes this prints texts as texts rather than as bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QVariant& value, std::ostream* out)
{
    *out << value.typeName() << ' ' << value.toString().toStdString();
}
