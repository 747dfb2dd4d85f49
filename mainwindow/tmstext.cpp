#include "mainwindow/tmstext.h"

#include "app/utilities.h"

#include <QStringList>

namespace lentaro {

namespace {

int leadingNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    int digits = 0;
    while (digits < trimmed.size() && digits < 9 && trimmed.at(digits).isDigit())
        ++digits;
    return trimmed.left(digits).toInt();
}

} // namespace

int to4byte(const QString& inn)
{
    QStringList fields(3);
    splitStr(inn, QStringLiteral(":"), fields);
    const int t = leadingNumber(fields[0]);
    const int m = leadingNumber(fields[1]);
    const int s = leadingNumber(fields[2]);
    return static_cast<int>(static_cast<unsigned>(t) + static_cast<unsigned>(m) * 256u
                            + static_cast<unsigned>(s) * 65536u);
}

QString tmsText(int position)
{
    const auto field = [position](int shift) {
        return QStringLiteral("%1").arg((static_cast<unsigned>(position) >> shift) & 0xffu, 2, 10,
                                        QLatin1Char('0'));
    };
    return field(0) + QLatin1Char(':') + field(8) + QLatin1Char(':') + field(16);
}

} // namespace lentaro
