#include "platform/mail/mimetext.h"

#include <QSysInfo>

namespace lentaro {

namespace {

const QByteArray crlf = QByteArrayLiteral("\r\n");
// "=_" can occur neither in quoted-printable nor in base64 text, so no part can end early.
const QByteArray boundary = QByteArrayLiteral("=_lentaro_part_boundary");

// A header value on one line: line breaks would start a header of the value's own making.
QString oneLine(const QString& value)
{
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

bool isPlainAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

// RFC 2047 encoded words for text that is not plain ASCII, split at whole characters.
QByteArray headerText(const QString& value)
{
    const QString text = oneLine(value);
    if (isPlainAscii(text))
        return text.toLatin1();
    QByteArrayList words;
    QString chunk;
    for (const QChar c : text) {
        if (chunk.toUtf8().size() >= 36 && !c.isLowSurrogate()) {
            words << "=?UTF-8?B?" + chunk.toUtf8().toBase64() + "?=";
            chunk.clear();
        }
        chunk += c;
    }
    if (!chunk.isEmpty())
        words << "=?UTF-8?B?" + chunk.toUtf8().toBase64() + "?=";
    return words.join(crlf + ' ');
}

// A file name as a quoted parameter value.
QByteArray quotedName(const QString& name)
{
    QString text = oneLine(name);
    text.remove(QLatin1Char('"'));
    text.remove(QLatin1Char('\\'));
    return '"' + headerText(text) + '"';
}

QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray lines;
    for (qsizetype at = 0; at < encoded.size(); at += 76)
        lines += encoded.mid(at, 76) + crlf;
    return lines;
}

// Every line end as CR LF.
QByteArray withCrLf(const QString& text)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    normalised.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return normalised.toUtf8();
}

QByteArray header(const char* name, const QByteArray& value)
{
    return QByteArray(name) + ": " + value + crlf;
}

// The sender used when a message names none: user@host.
QString localSender()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    if (user.isEmpty())
        user = QStringLiteral("lentaro");
    return user + QLatin1Char('@') + QSysInfo::machineHostName();
}

} // namespace

QByteArray quotedPrintable(const QByteArray& text)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    qsizetype lineLength = 0;
    const auto put = [&](const QByteArray& piece) {
        if (lineLength + piece.size() > 75) {
            out += "=\r\n";
            lineLength = 0;
        }
        out += piece;
        lineLength += piece.size();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += crlf;
            lineLength = 0;
            ++i;
            continue;
        }
        const bool atLineEnd = i + 1 == text.size() || text[i + 1] == '\r';
        const bool literal =
            (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !atLineEnd);
        if (literal)
            put(QByteArray(1, static_cast<char>(c)));
        else
            put(QByteArray("=") + hex[c >> 4] + hex[c & 0x0f]);
    }
    return out;
}

QByteArray mimeText(const MailMessage& message, const QDateTime& date, const QString& messageId)
{
    QByteArray text;
    text += header("From", headerText(message.from.isEmpty() ? localSender() : message.from));
    QByteArrayList recipients;
    for (const QString& address : message.to)
        recipients << headerText(address);
    text += header("To", recipients.join(", "));
    text += header("Subject", headerText(message.subject));
    text += header("Date", date.toString(Qt::RFC2822Date).toLatin1());
    text += header("Message-ID", '<' + headerText(messageId) + '>');
    text += header("MIME-Version", "1.0");

    const QByteArray bodyHeaders = header("Content-Type", "text/plain; charset=UTF-8")
                                   + header("Content-Transfer-Encoding", "quoted-printable");
    const QByteArray body = quotedPrintable(withCrLf(message.body));
    if (message.attachments.empty())
        return text + bodyHeaders + crlf + body;

    text += header("Content-Type", "multipart/mixed; boundary=\"" + boundary + '"') + crlf;
    text += "--" + boundary + crlf + bodyHeaders + crlf + body + crlf;
    for (const MailAttachment& attachment : message.attachments) {
        const QByteArray name = quotedName(attachment.fileName);
        text += "--" + boundary + crlf;
        text +=
            header("Content-Type", oneLine(QString::fromLatin1(attachment.contentType)).toLatin1()
                                       + "; name=" + name);
        text += header("Content-Disposition", "attachment; filename=" + name);
        text += header("Content-Transfer-Encoding", "base64") + crlf;
        text += base64Lines(attachment.data);
    }
    return text + "--" + boundary + "--" + crlf;
}

} // namespace lentaro
