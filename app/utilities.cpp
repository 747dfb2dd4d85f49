#include "app/utilities.h"

#include "trace/tracescope.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace lentaro {

namespace {

constexpr char module[] = "Vellutilities";
const QChar separator = QLatin1Char('/');

// Whether a <= b, or nothing when the two values have no order between them.
std::optional<bool> atMost(const QVariant& a, const QVariant& b)
{
    const QPartialOrdering order = QVariant::compare(a, b);
    if (order == QPartialOrdering::Unordered)
        return std::nullopt;
    return order != QPartialOrdering::Greater;
}

QString variantText(const QVariant& value)
{
    return value.toString();
}

} // namespace

QVariant mathMin(const QVariant& a, const QVariant& b)
{
    TraceScope trace(module, "Function mathMin", {{"a", a, variantText}, {"b", b, variantText}});
    return trace.run(QVariant(), [&] {
        if (const std::optional<bool> ordered = atMost(a, b))
            return *ordered ? a : b;
        return QVariant();
    });
}

QVariant mathMax(const QVariant& a, const QVariant& b)
{
    TraceScope trace(module, "Function mathMax", {{"a", a, variantText}, {"b", b, variantText}});
    return trace.run(QVariant(), [&] {
        if (const std::optional<bool> ordered = atMost(a, b))
            return *ordered ? b : a;
        return QVariant();
    });
}

QString instrRev(const QString& source, const QString& searchChars)
{
    TraceScope trace(module, "Function instrRev",
                     {{"source", source}, {"searchChars", searchChars}});
    const QString notFound = QStringLiteral("0");
    return trace.run(notFound, [&] {
        for (qsizetype i = source.size() - 1; i >= 0; --i) {
            if (searchChars.contains(source[i]))
                return QString::number(i + 1);
        }
        return notFound;
    });
}

QString extractPathFromFullPath(const QString& source)
{
    TraceScope trace(module, "Function extractPathFromFullPath", {{"source", source}});
    return trace.run(QString(), [&] { return source.left(source.lastIndexOf(separator) + 1); });
}

QString extractFilenameFromFullPath(const QString& source)
{
    TraceScope trace(module, "Function extractFilenameFromFullPath", {{"source", source}});
    return trace.run(QString(), [&] { return source.mid(source.lastIndexOf(separator) + 1); });
}

QString extractExtensionFromFilename(const QString& source)
{
    TraceScope trace(module, "Function extractExtensionFromFilename", {{"source", source}});
    return trace.run(QString(), [&] {
        const qsizetype dot = source.lastIndexOf(QLatin1Char('.'));
        return dot >= 0 ? source.mid(dot + 1) : QString();
    });
}

bool sameFile(const QString& a, const QString& b)
{
    namespace fs = std::filesystem;
    const fs::path first = fs::path(a.toStdString());
    const fs::path second = fs::path(b.toStdString());
    std::error_code error;
    if (fs::equivalent(first, second, error))
        return true;
    const fs::path firstPlace = fs::weakly_canonical(first, error);
    if (error)
        return false;
    const fs::path secondPlace = fs::weakly_canonical(second, error);
    return !error && firstPlace == secondPlace;
}

void parsePath(const QString& source, QString& pathStr, QString& nameStr)
{
    TraceScope trace(module, "Sub parsePath", {{"source", source}});
    trace.run([&] {
        const qsizetype last = source.lastIndexOf(separator);
        pathStr = last >= 0 ? source.left(last) : QString();
        nameStr = source.mid(last + 1);
    });
}

bool splitStr(const QString& sourceStr, const QString& delimiters, QStringList& ta)
{
    TraceScope trace(module, "Function splitStr",
                     {{"sourceStr", sourceStr}, {"delimiters", delimiters}});
    bool result = true;
    return trace.run(result, [&] {
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
        return result;
    });
}

int Ascii(const QString& str)
{
    TraceScope trace(module, "Function Ascii", {{"str", str}});
    return trace.run(0, [&] { return str.isEmpty() ? 0 : int(str.left(2).toUcs4().front()); });
}

} // namespace lentaro
