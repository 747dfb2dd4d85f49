#pragma once

#include "platform/mail/maillauncher.h"
#include "platform/mail/mailmessage.h"
#include "platform/mail/outbox.h"

namespace lentaro {

// Posts the message to the outbox and, once it is there whole, hands it to the launcher.
PostedMail sendMail(const MailMessage& message, const Outbox& outbox, MailLauncher& launcher);

// The program's outbox: the folder "outbox" of the program folder.
QString outboxFolder(const QString& programFolder);

} // namespace lentaro
