#include "platform/mail/sendmail.h"
#include "tests/platform/mail/eml_reader.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lentaro::test {
namespace {

class RecordingLauncher : public MailLauncher
{
public:
    bool launch(const MailMessage& message, const PostedMail& posted) override
    {
        subjects << message.subject;
        launched.push_back(posted);
        return true;
    }

    QStringList subjects;
    std::vector<PostedMail> launched;
};

MailMessage reportWithLog()
{
    MailMessage message;
    message.to << QStringLiteral("support@example.org");
    message.subject = QStringLiteral("Remote Error Report From Lentaro");
    message.body = QStringLiteral("Orvane Sentrix reports error 11");
    message.attachments.push_back({QStringLiteral("sxerror.log"), QByteArray("the record\r\n")});
    return message;
}

class OutboxTest : public ::testing::Test
{
protected:
    QStringList outboxEntries() const
    {
        return QDir(outboxFolder(home_.path()))
            .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir home_;
    RecordingLauncher launcher_;
};

TEST_F(OutboxTest, PostedMessageLandsWholeWithItsAttachmentBesideIt)
{
    const Outbox outbox(outboxFolder(home_.path()));
    const PostedMail posted = sendMail(reportWithLog(), outbox, launcher_);
    ASSERT_TRUE(posted.ok()) << posted.error.toStdString();

    EXPECT_TRUE(posted.emlPath.startsWith(home_.path() + QStringLiteral("/outbox/")));
    EXPECT_TRUE(posted.emlPath.endsWith(QStringLiteral(".eml")));
    const Eml eml = readEml(posted.emlPath);
    EXPECT_EQ(eml.headers.value("subject"), "Remote Error Report From Lentaro");
    ASSERT_EQ(eml.attachments.size(), 1U);
    EXPECT_EQ(eml.attachments[0].body, "the record\r\n");

    ASSERT_EQ(posted.attachmentPaths.size(), 1);
    QFile copy(posted.attachmentPaths[0]);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "the record\r\n");
    EXPECT_TRUE(posted.attachmentPaths[0].endsWith(QStringLiteral("/sxerror.log")));

    ASSERT_EQ(launcher_.launched.size(), 1U);
    EXPECT_EQ(launcher_.launched[0].emlPath, posted.emlPath);
    // Nothing but the message and its attachments' folder: no draft is left behind.
    EXPECT_EQ(outboxEntries().size(), 2);
}

TEST_F(OutboxTest, MessagesPostedAtOnceNeverShareAName)
{
    const Outbox outbox(outboxFolder(home_.path()));
    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        MailMessage message = reportWithLog();
        message.subject = QStringLiteral("message %1").arg(i);
        if (i % 2)
            message.attachments.clear();
        const PostedMail posted = outbox.post(message);
        ASSERT_TRUE(posted.ok());
        paths << posted.emlPath;
    }
    paths.removeDuplicates();
    ASSERT_EQ(paths.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(readEml(paths[i]).headers.value("subject"), QStringLiteral("message %1").arg(i));
}

TEST_F(OutboxTest, AnAttachmentNameCannotLeaveItsFolder)
{
    MailMessage message = reportWithLog();
    message.attachments[0].fileName = QStringLiteral("../../escaped.log");
    const PostedMail posted = Outbox(outboxFolder(home_.path())).post(message);
    ASSERT_TRUE(posted.ok());
    ASSERT_EQ(posted.attachmentPaths.size(), 1);
    EXPECT_EQ(QFileInfo(posted.attachmentPaths[0]).dir().path(),
              posted.emlPath.chopped(static_cast<qsizetype>(QStringLiteral(".eml").size())));
    EXPECT_FALSE(QFileInfo::exists(home_.filePath(QStringLiteral("escaped.log"))));
}

TEST_F(OutboxTest, AnOutboxThatCannotBeMadeSaysSoAndLaunchesNothing)
{
    QFile blocker(outboxFolder(home_.path()));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const PostedMail posted =
        sendMail(reportWithLog(), Outbox(outboxFolder(home_.path())), launcher_);
    EXPECT_FALSE(posted.ok());
    EXPECT_TRUE(posted.error.contains(QStringLiteral("outbox")));
    EXPECT_TRUE(launcher_.launched.empty());
}

TEST(XdgEmail, GetsTheMessageAndTheOutboxCopiesOfItsAttachments)
{
    MailMessage message = reportWithLog();
    message.to =
        QStringList{QStringLiteral("support@example.org"), QStringLiteral("-x dev@example.org")};
    PostedMail posted;
    posted.emlPath = QStringLiteral("/outbox/1.eml");
    posted.attachmentPaths << QStringLiteral("/outbox/1/sxerror.log");
    EXPECT_EQ(XdgEmailLauncher::arguments(message, posted),
              QStringList({"--utf8", "--subject", "Remote Error Report From Lentaro", "--body",
                           "Orvane Sentrix reports error 11", "--attach", "/outbox/1/sxerror.log",
                           "mailto:support@example.org,-x%20dev@example.org"}));
}

} // namespace
} // namespace lentaro::test
