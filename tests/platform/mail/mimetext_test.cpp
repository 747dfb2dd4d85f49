#include "platform/mail/mimetext.h"
#include "tests/platform/mail/eml_reader.h"

#include <gtest/gtest.h>

namespace lentaro::test {
namespace {

const QDateTime sentAt(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);

MailMessage plainMessage()
{
    MailMessage message;
    message.from = QStringLiteral("mira@studio");
    message.to << QStringLiteral("support@example.org");
    message.subject = QStringLiteral("Remote Error Report From Lentaro");
    message.body = QStringLiteral("first line\r\nsecond line");
    return message;
}

QByteArrayList lines(const QByteArray& text)
{
    return text.split('\n');
}

TEST(MimeText, PlainMessageHasTheHeadersAndTheBody)
{
    const QByteArray text = mimeText(plainMessage(), sentAt, QStringLiteral("1.abc@studio"));
    const Eml eml = parseEml(text);
    EXPECT_EQ(eml.headers.value("from"), "mira@studio");
    EXPECT_EQ(eml.headers.value("to"), "support@example.org");
    EXPECT_EQ(eml.headers.value("subject"), "Remote Error Report From Lentaro");
    EXPECT_EQ(eml.headers.value("date"), sentAt.toString(Qt::RFC2822Date));
    EXPECT_EQ(eml.headers.value("message-id"), "<1.abc@studio>");
    EXPECT_EQ(eml.headers.value("mime-version"), "1.0");
    EXPECT_EQ(eml.headers.value("content-type"), "text/plain; charset=UTF-8");
    EXPECT_EQ(eml.body, "first line\r\nsecond line");
    EXPECT_TRUE(eml.attachments.empty());
}

TEST(MimeText, EveryLineEndsInCrLfAndStaysShort)
{
    MailMessage message = plainMessage();
    message.body = QString(300, QLatin1Char('x')) + QStringLiteral("\nnext\rlast = ü \t");
    const QByteArray text = mimeText(message, sentAt, QStringLiteral("id@studio"));
    for (const QByteArray& line : lines(text).mid(0, lines(text).size() - 1)) {
        ASSERT_TRUE(line.endsWith('\r')) << line.constData();
        EXPECT_LE(line.size() - 1, 76) << line.constData();
    }
    // Lone line ends become CR LF; '=', non-ASCII and blanks before a line end survive.
    EXPECT_EQ(
        parseEml(text).body,
        (QString(300, QLatin1Char('x')) + QStringLiteral("\r\nnext\r\nlast = ü \t")).toUtf8());
}

TEST(MimeText, HeaderValuesCannotAddHeaders)
{
    MailMessage message = plainMessage();
    message.subject = QStringLiteral("Report\r\nBcc: someone@elsewhere");
    message.to = QStringList{QStringLiteral("a@b\nX-Injected: yes")};
    const Eml eml = parseEml(mimeText(message, sentAt, QStringLiteral("id@studio")));
    EXPECT_FALSE(eml.headers.contains("bcc"));
    EXPECT_FALSE(eml.headers.contains("x-injected"));
    EXPECT_EQ(eml.headers.value("subject"), "Report Bcc: someone@elsewhere");
}

TEST(MimeText, NonAsciiSubjectIsEncodedAndReadsBack)
{
    MailMessage message = plainMessage();
    message.subject = QStringLiteral(
        "Fehlerbericht von Lentaro: Übung mit Größe – 日本語のテキストがここにあります");
    const Eml eml = parseEml(mimeText(message, sentAt, QStringLiteral("id@studio")));
    EXPECT_EQ(eml.headers.value("subject"), message.subject);
    EXPECT_FALSE(eml.rawHeaderBlock.contains("Größe"));
}

TEST(MimeText, AttachmentsTravelAsBase64Parts)
{
    MailMessage message = plainMessage();
    QByteArray binary;
    for (int i = 0; i < 1000; ++i)
        binary += static_cast<char>(i % 256);
    message.attachments.push_back({QStringLiteral("sxerror.log"),
                                   QByteArray("line one\r\nline two\r\n"),
                                   QByteArrayLiteral("text/plain; charset=UTF-8")});
    message.attachments.push_back({QStringLiteral("odd \"name\".bin"), binary});
    const Eml eml = parseEml(mimeText(message, sentAt, QStringLiteral("id@studio")));

    EXPECT_TRUE(eml.headers.value("content-type").startsWith("multipart/mixed; boundary="));
    EXPECT_EQ(eml.body, "first line\r\nsecond line");
    ASSERT_EQ(eml.attachments.size(), 2U);
    EXPECT_EQ(eml.attachments[0].headers.value("content-type"),
              "text/plain; charset=UTF-8; name=\"sxerror.log\"");
    EXPECT_EQ(eml.attachments[0].headers.value("content-disposition"),
              "attachment; filename=\"sxerror.log\"");
    EXPECT_EQ(eml.attachments[0].body, "line one\r\nline two\r\n");
    EXPECT_EQ(eml.attachments[1].headers.value("content-disposition"),
              "attachment; filename=\"odd name.bin\"");
    EXPECT_EQ(eml.attachments[1].body, binary);
}

TEST(MimeText, QuotedPrintableKeepsHardLineBreaksAndEncodesTheRest)
{
    const struct {
        QByteArray text;
        QByteArray encoded;
    } cases[] = {
        {"plain text", "plain text"},
        {"a=b", "a=3Db"},
        {"trailing blank \r\nnext", "trailing blank=20\r\nnext"},
        {"tab at end\t", "tab at end=09"},
        {"\xc3\xbc", "=C3=BC"},
        {QByteArray(80, 'a'), QByteArray(75, 'a') + "=\r\n" + QByteArray(5, 'a')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(quotedPrintable(c.text), c.encoded) << c.text.constData();
}

} // namespace
} // namespace lentaro::test
