#include "app/utilities.h"

#include "trace/tracescope.h"

#include <optional>

namespace lentaro {

namespace {

const QString module = QStringLiteral("Vellutilities");
const QChar separator = QLatin1Char('/');

// Whether a <= b, or nothing when the two values have no order between them.
std::optional<bool> atMost(const QVariant& a, const QVariant& b)
{
    const QPartialOrdering order = QVariant::compare(a, b);
    if (order == QPartialOrdering::Unordered)
        return std::nullopt;
    return order != QPartialOrdering::Greater;
}

} // namespace

QVariant mathMin(const QVariant& a, const QVariant& b)
{
    TraceScope trace(module, QStringLiteral("Function mathMin"),
                     {{"a", a.toString()}, {"b", b.toString()}});
    QVariant result;
    trace.run([&] {
        if (const std::optional<bool> ordered = atMost(a, b))
            result = *ordered ? a : b;
    });
    return result;
}

QVariant mathMax(const QVariant& a, const QVariant& b)
{
    TraceScope trace(module, QStringLiteral("Function mathMax"),
                     {{"a", a.toString()}, {"b", b.toString()}});
    QVariant result;
    trace.run([&] {
        if (const std::optional<bool> ordered = atMost(a, b))
            result = *ordered ? b : a;
    });
    return result;
}

QString instrRev(const QString& source, const QString& searchChars)
{
    TraceScope trace(module, QStringLiteral("Function instrRev"),
                     {{"source", source}, {"searchChars", searchChars}});
    QString result = QStringLiteral("0");
    trace.run([&] {
        for (qsizetype i = source.size() - 1; i >= 0; --i) {
            if (searchChars.contains(source[i])) {
                result = QString::number(i + 1);
                return;
            }
        }
    });
    return result;
}

QString extractPathFromFullPath(const QString& source)
{
    TraceScope trace(module, QStringLiteral("Function extractPathFromFullPath"), {{"source", source}});
    QString result;
    trace.run([&] { result = source.left(source.lastIndexOf(separator) + 1); });
    return result;
}

QString extractFilenameFromFullPath(const QString& source)
{
    TraceScope trace(module, QStringLiteral("Function extractFilenameFromFullPath"),
                     {{"source", source}});
    QString result;
    trace.run([&] { result = source.mid(source.lastIndexOf(separator) + 1); });
    return result;
}

QString extractExtensionFromFilename(const QString& source)
{
    TraceScope trace(module, QStringLiteral("Function extractExtensionFromFilename"),
                     {{"source", source}});
    QString result;
    trace.run([&] {
        const qsizetype dot = source.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            result = source.mid(dot + 1);
    });
    return result;
}

void parsePath(const QString& source, QString& pathStr, QString& nameStr)
{
    TraceScope trace(module, QStringLiteral("Sub parsePath"), {{"source", source}});
    trace.run([&] {
        const qsizetype last = source.lastIndexOf(separator);
        pathStr = last >= 0 ? source.left(last) : QString();
        nameStr = source.mid(last + 1);
    });
}

bool splitStr(const QString& sourceStr, const QString& delimiters, QStringList& ta)
{
    TraceScope trace(module, QStringLiteral("Function splitStr"),
                     {{"sourceStr", sourceStr}, {"delimiters", delimiters}});
    bool result = true;
    trace.run([&] {
        for (QString& field : ta)
            field.clear();
        qsizetype i = 0;
        for (const QChar c : sourceStr) {
            if (delimiters.contains(c)) {
                if (i < ta.size() && !ta[i].isEmpty())
                    ++i;
            } else if (i < ta.size()) {
                ta[i] += c;
            } else {
                result = false;
            }
        }
    });
    return result;
}

int Ascii(const QString& str)
{
    TraceScope trace(module, QStringLiteral("Function Ascii"), {{"str", str}});
    int result = 0;
    trace.run([&] {
        if (!str.isEmpty())
            result = int(str.left(2).toUcs4().front());
    });
    return result;
}

} // namespace lentaro
