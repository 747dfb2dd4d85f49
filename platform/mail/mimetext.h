#pragma once

#include "platform/mail/mailmessage.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace lentaro {

// The message as an RFC 5322 / MIME text with CR LF line ends: the body as quoted-printable
// UTF-8, each attachment as a base64 part of a multipart/mixed message. Header values lose any
// line breaks, so no text of the message can add a header of its own.
QByteArray mimeText(const MailMessage& message, const QDateTime& date, const QString& messageId);

// Quoted-printable (RFC 2045) of a text whose lines end in CR LF; lines stay within 76 characters.
QByteArray quotedPrintable(const QByteArray& text);

} // namespace lentaro
