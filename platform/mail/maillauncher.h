#pragma once

#include "platform/mail/mailmessage.h"
#include "platform/mail/outbox.h"
#include "platform/shell/service.h"

namespace lentaro {

// Hands a posted message to the desktop's mail program; tests put a recording stand-in here.
class MailLauncher
{
public:
    virtual ~MailLauncher() = default;

    // True when a mail program took the message.
    virtual bool launch(const MailMessage& message, const PostedMail& posted) = 0;
};

// xdg-email, when it is installed: it opens the user's mail program with the message filled
// in and the outbox copies of the attachments attached. Without it the message stays in the
// outbox.
class XdgEmailLauncher : public MailLauncher
{
public:
    bool launch(const MailMessage& message, const PostedMail& posted) override;

    // The command line xdg-email gets for the message.
    static QStringList arguments(const MailMessage& message, const PostedMail& posted);
};

// xdg-email unless replaced.
extern Service<MailLauncher> mailLauncher;

} // namespace lentaro
