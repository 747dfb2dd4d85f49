#pragma once

// Reads back the .eml files the outbox writes, for tests: headers unfolded and decoded,
// bodies decoded from quoted-printable or base64.

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QString>

#include <vector>

namespace lentaro::test {

struct EmlPart {
    QMap<QByteArray, QString> headers; // names in lower case
    QByteArray body;                   // decoded
};

struct Eml {
    QMap<QByteArray, QString> headers;
    QByteArray rawHeaderBlock;
    QByteArray body; // the text part, decoded
    std::vector<EmlPart> attachments;
};

inline QString decodedHeader(const QByteArray& value)
{
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([^?]*)\\?=\\s*"));
    QString text = QString::fromLatin1(value);
    QString out;
    qsizetype at = 0;
    auto match = word.globalMatch(text);
    while (match.hasNext()) {
        const auto m = match.next();
        out += text.mid(at, m.capturedStart() - at);
        out += QString::fromUtf8(QByteArray::fromBase64(m.captured(1).toLatin1()));
        at = m.capturedEnd();
    }
    return out + text.mid(at);
}

inline QMap<QByteArray, QString> parseHeaders(const QByteArray& block)
{
    QMap<QByteArray, QString> headers;
    QByteArray unfolded = block;
    unfolded.replace("\r\n ", " ");
    unfolded.replace("\r\n\t", " ");
    for (const QByteArray& line : unfolded.split('\n')) {
        const QByteArray trimmed = line.endsWith('\r') ? line.chopped(1) : line;
        const qsizetype colon = trimmed.indexOf(':');
        if (colon <= 0)
            continue;
        headers.insert(trimmed.left(colon).toLower(),
                       decodedHeader(trimmed.mid(colon + 1).trimmed()));
    }
    return headers;
}

inline QByteArray decodeQuotedPrintable(const QByteArray& text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size()) {
            if (text.mid(i + 1, 2) == "\r\n") {
                i += 2;
                continue;
            }
            out += static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

inline QByteArray decodeBody(const QMap<QByteArray, QString>& headers, const QByteArray& body)
{
    const QString encoding = headers.value("content-transfer-encoding").toLower();
    if (encoding == QLatin1String("quoted-printable"))
        return decodeQuotedPrintable(body);
    if (encoding == QLatin1String("base64"))
        return QByteArray::fromBase64(QByteArray(body).replace("\r\n", ""));
    return body;
}

inline Eml parseEml(const QByteArray& text)
{
    Eml eml;
    const qsizetype split = text.indexOf("\r\n\r\n");
    eml.rawHeaderBlock = text.left(split);
    eml.headers = parseHeaders(eml.rawHeaderBlock);
    const QByteArray rest = text.mid(split + 4);
    const QString type = eml.headers.value("content-type");
    static const QRegularExpression boundaryPattern(QStringLiteral("boundary=\"([^\"]+)\""));
    const auto boundary = boundaryPattern.match(type);
    if (!boundary.hasMatch()) {
        eml.body = decodeBody(eml.headers, rest);
        return eml;
    }
    const QByteArray delimiter = "--" + boundary.captured(1).toLatin1();
    QByteArrayList parts;
    qsizetype at = rest.indexOf(delimiter);
    while (at >= 0) {
        const qsizetype start = at + delimiter.size();
        if (rest.mid(start, 2) == "--")
            break;
        const qsizetype next = rest.indexOf("\r\n" + delimiter, start);
        parts << rest.mid(start + 2, (next < 0 ? rest.size() : next) - start - 2);
        at = next < 0 ? -1 : next + 2;
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const qsizetype partSplit = parts[i].indexOf("\r\n\r\n");
        EmlPart part;
        part.headers = parseHeaders(parts[i].left(partSplit));
        part.body = decodeBody(part.headers, parts[i].mid(partSplit + 4));
        if (i == 0)
            eml.body = part.body;
        else
            eml.attachments.push_back(part);
    }
    return eml;
}

inline Eml readEml(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseEml(file.readAll());
}

} // namespace lentaro::test
