#include "platform/mail/outbox.h"

#include "platform/mail/mimetext.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryFile>

namespace lentaro {

namespace {

// An attachment's name as a file of its own folder: no way out of that folder.
QString safeFileName(const QString& name)
{
    QString safe = QFileInfo(name).fileName();
    if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String(".."))
        safe = QStringLiteral("attachment");
    return safe;
}

bool writeWhole(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && file.write(data) == data.size()
           && file.flush();
}

} // namespace

Outbox::Outbox(QString folder) : folder_(std::move(folder))
{
}

PostedMail Outbox::post(const MailMessage& message) const
{
    PostedMail posted;
    QDir dir(folder_);
    if (!dir.mkpath(QStringLiteral("."))) {
        posted.error = QStringLiteral("Cannot create the outbox folder %1").arg(folder_);
        return posted;
    }

    const QDateTime now = QDateTime::currentDateTime();
    QTemporaryFile draft(dir.filePath(QStringLiteral("draft-XXXXXX.part")));
    if (!draft.open()) {
        posted.error = QStringLiteral("Cannot write in the outbox folder %1: %2")
                           .arg(folder_, draft.errorString());
        return posted;
    }
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const QString draftTag = QFileInfo(draft.fileName()).completeBaseName().mid(6);
    const QString messageId =
        stamp + QLatin1Char('.') + draftTag + QStringLiteral("@") + QSysInfo::machineHostName();
    const QByteArray text = mimeText(message, now, messageId);
    if (draft.write(text) != text.size() || !draft.flush()) {
        posted.error =
            QStringLiteral("Cannot write the message in %1: %2").arg(folder_, draft.errorString());
        return posted;
    }

    // The first free name wins; the attachments' folder reserves it before the message appears.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString stem =
            attempt == 0 ? stamp : stamp + QLatin1Char('-') + QString::number(attempt);
        const QString emlPath = dir.filePath(stem + QStringLiteral(".eml"));
        if (QFileInfo::exists(emlPath))
            continue;
        QStringList attachmentPaths;
        if (!message.attachments.empty()) {
            if (!dir.mkdir(stem))
                continue;
            const QDir files(dir.filePath(stem));
            for (const MailAttachment& attachment : message.attachments) {
                const QString path = files.filePath(safeFileName(attachment.fileName));
                if (!writeWhole(path, attachment.data)) {
                    QDir(files).removeRecursively();
                    posted.error = QStringLiteral("Cannot write the attachment %1").arg(path);
                    return posted;
                }
                attachmentPaths << path;
            }
        }
        if (!draft.rename(emlPath)) {
            if (!message.attachments.empty())
                QDir(dir.filePath(stem)).removeRecursively();
            continue;
        }
        draft.setAutoRemove(false);
        posted.emlPath = emlPath;
        posted.attachmentPaths = attachmentPaths;
        return posted;
    }
    posted.error = QStringLiteral("No free message name in the outbox folder %1").arg(folder_);
    return posted;
}

} // namespace lentaro
