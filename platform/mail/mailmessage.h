#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace lentaro {

// A file sent with a message, carried by value so the message stays whole after the file is gone.
struct MailAttachment {
    QString fileName; // the name the recipient sees ("sxerror.log")
    QByteArray data;
    QByteArray contentType = QByteArrayLiteral("application/octet-stream");
};

struct MailMessage {
    QString from;   // empty: the local user at this machine
    QStringList to; // addresses (or names the mail program resolves)
    QString subject;
    QString body; // plain text; any line ends
    std::vector<MailAttachment> attachments;
};

} // namespace lentaro
