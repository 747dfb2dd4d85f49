#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace lentaro {

// Small helpers used all over the program. Text positions count from 1; characters compare
// exactly. Paths are separated by "/".

// a when a <= b, else b; Null (an invalid QVariant) when the two cannot be compared.
QVariant mathMin(const QVariant& a, const QVariant& b);
// b when a <= b, else a; Null when the two cannot be compared.
QVariant mathMax(const QVariant& a, const QVariant& b);

// The position of the last character of source that is one of searchChars, as decimal text;
// "0" when there is none.
QString instrRev(const QString& source, const QString& searchChars);

// source up to and including its last "/"; "" when it has none.
QString extractPathFromFullPath(const QString& source);
// source after its last "/"; all of source when it has none.
QString extractFilenameFromFullPath(const QString& source);
// source after its last "."; "" when it has none.
QString extractExtensionFromFilename(const QString& source);
// pathStr := source before its last "/" (without it), nameStr := source after it; with no "/"
// pathStr is "" and nameStr all of source.
void parsePath(const QString& source, QString& pathStr, QString& nameStr);
// True when both paths lead to one file, however spelled (relative, "..", a symbolic or hard
// link), or, while one of them does not exist yet, to the same place once links and dots are
// resolved.
bool sameFile(const QString& a, const QString& b);

// Splits sourceStr at any of the delimiters into the fields of ta, which keeps its size: every
// field is emptied first; runs of delimiters and leading ones make no empty fields. True when all
// the text fitted; characters beyond the last field are dropped and make it false.
bool splitStr(const QString& sourceStr, const QString& delimiters, QStringList& ta);

// The character code of the first character of str (its Unicode code point); 0 for "".
int Ascii(const QString& str);

} // namespace lentaro
