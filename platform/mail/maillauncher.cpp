#include "platform/mail/maillauncher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace lentaro {

Service<MailLauncher> mailLauncher{madeAtFirstUse<XdgEmailLauncher>};

QStringList XdgEmailLauncher::arguments(const MailMessage& message, const PostedMail& posted)
{
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), message.subject,
                          QStringLiteral("--body"), message.body};
    for (const QString& path : posted.attachmentPaths)
        arguments << QStringLiteral("--attach") << path;
    // As one mailto: address list, so no address can pass for an option.
    QStringList recipients;
    for (const QString& address : message.to)
        recipients << QString::fromLatin1(QUrl::toPercentEncoding(address, "@"));
    if (!recipients.isEmpty())
        arguments << QStringLiteral("mailto:") + recipients.join(QLatin1Char(','));
    return arguments;
}

bool XdgEmailLauncher::launch(const MailMessage& message, const PostedMail& posted)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments(message, posted));
}

} // namespace lentaro
