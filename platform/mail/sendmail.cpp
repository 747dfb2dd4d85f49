#include "platform/mail/sendmail.h"

namespace lentaro {

PostedMail sendMail(const MailMessage& message, const Outbox& outbox, MailLauncher& launcher)
{
    PostedMail posted = outbox.post(message);
    if (posted.ok())
        launcher.launch(message, posted);
    return posted;
}

QString outboxFolder(const QString& programFolder)
{
    return programFolder + QStringLiteral("/outbox");
}

} // namespace lentaro
