#pragma once

#include "platform/mail/mailmessage.h"

#include <QString>
#include <QStringList>

namespace lentaro {

// Where a posted message landed.
struct PostedMail {
    QString emlPath;             // the whole message, attachments included
    QStringList attachmentPaths; // copies of the attachments beside it, for the mail program
    QString error;               // why nothing was posted; empty on success

    bool ok() const { return error.isEmpty(); }
};

// A folder of outgoing messages, one .eml file each. A message is written under a temporary
// name and renamed when whole, so the folder never shows a half-written message; two messages
// never share a name.
class Outbox
{
public:
    explicit Outbox(QString folder);

    const QString& folder() const { return folder_; }

    // Writes the message and, in a folder named like it, a copy of each attachment.
    PostedMail post(const MailMessage& message) const;

private:
    QString folder_;
};

} // namespace lentaro
