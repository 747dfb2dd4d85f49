#include "tests/trace/dialog_driver.h"
#include "tests/trace/fake_system_probe.h"
#include "tests/trace/trace_fixture.h"

#include "platform/mail/maillauncher.h"
#include "platform/shell/urlopener.h"
#include "tests/platform/mail/eml_reader.h"
#include "trace/sentrixreporter.h"
#include "trace/tracescope.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

#include <map>
#include <optional>

namespace lentaro::test {
namespace {

class RecordingLauncher : public MailLauncher
{
public:
    explicit RecordingLauncher(std::vector<PostedMail>& launched) : launched_(launched) {}
    bool launch(const MailMessage&, const PostedMail& posted) override
    {
        launched_.push_back(posted);
        return true;
    }

private:
    std::vector<PostedMail>& launched_;
};

// Takes every address without opening anything.
class AcceptingOpener : public UrlOpener
{
public:
    bool open(const QUrl&) override { return true; }
};

class Reporter : public TraceTest
{
protected:
    void install()
    {
        probeInPlace_.emplace(systemProbe, probe_);
        launcherInPlace_.emplace(mailLauncher, launcher_);
        openerInPlace_.emplace(urlOpener, opener_);
        reporterInPlace_.emplace(errorReporter, reporter_);
    }

    ErrorChoice raise(const RuntimeError& error)
    {
        TraceScope main("frmMain", "Sub Main");
        return main.run(ErrorChoice::Continue, [&] {
            TraceScope trace("frmTrim", "Sub Form_Load", {{"Cancel", 0}});
            try {
                throw error;
            } catch (...) {
                return sxERROR("frmTrim", "Sub Form_Load");
            }
        });
    }

    // The outbox's messages by subject.
    std::map<QString, Eml> mails() const
    {
        std::map<QString, Eml> bySubject;
        const QDir outbox(path("outbox"));
        for (const QString& name : outbox.entryList({"*.eml"}, QDir::Files)) {
            Eml eml = readEml(outbox.filePath(name));
            bySubject[eml.headers.value("subject")] = eml;
        }
        return bySubject;
    }

    static QString text(const QByteArray& bytes) { return QString::fromUtf8(bytes); }

    AmericanLocale american_;
    std::vector<PostedMail> launched_;

private:
    FakeSystemProbe probe_;
    RecordingLauncher launcher_{launched_};
    AcceptingOpener opener_;
    SentrixReporter reporter_;
    std::optional<ScopedOverride<SystemProbe>> probeInPlace_;
    std::optional<ScopedOverride<MailLauncher>> launcherInPlace_;
    std::optional<ScopedOverride<UrlOpener>> openerInPlace_;
    std::optional<ScopedOverride<ErrorReporter>> reporterInPlace_;
};

const QString everyReportIni = QStringLiteral(
    "[log file]\nWrite To Disk=1\nCircularLog=1\n"
    "[email]\nAddress=support@example.org\n"
    "[Quillmark]\nAddress=defects@example.org\nDatabase=LentaroDefects\nProject=Lentaro 2\n"
    "[Ferrow]\nAttach Log=1\n"
    "[preferences]\nSilent Run=1\n");

TEST_F(Reporter, SilentRunMailsBothReportsAndWritesTheLog)
{
    writeIni(everyReportIni);
    install();
    raise(RuntimeError(11));

    const std::map<QString, Eml> sent = mails();
    ASSERT_EQ(sent.size(), 2U);

    const Eml& report = sent.at("Remote Error Report From Lentaro");
    EXPECT_EQ(report.headers.value("to"), "support@example.org");
    EXPECT_EQ(text(report.body),
              "Orvane Sentrix reports error 11 (Division by zero) occurred in Lentaro. "
              "The attached log file has complete details.");
    ASSERT_EQ(report.attachments.size(), 1U);
    EXPECT_EQ(report.attachments[0].headers.value("content-disposition"),
              "attachment; filename=\"sxerror.log\"");
    const QString attached = text(report.attachments[0].body);
    EXPECT_TRUE(attached.contains("\r\nError Information\r\n\t*Error 0\r\n"));
    EXPECT_TRUE(attached.contains(" 2\t\t  frmTrim : Sub Form_Load : (Cancel=0) : Error Runtime "
                                  "error 11, Division by zero\r\n"));
    EXPECT_TRUE(attached.contains(
        "\r\nSystem State Information\r\nApplication running on computer studio\r\n"));
    EXPECT_FALSE(QFileInfo::exists(path("!error!.log")));

    const Eml& defect = sent.at("Sentrix New Defect [LentaroDefects]");
    EXPECT_EQ(defect.headers.value("to"), "defects@example.org");
    const QString record = text(defect.body);
    EXPECT_TRUE(record.startsWith(
        "KEY:\r\n  Lentaro (local)frmTrimSub Form_Load011\r\nREPORTED BY:\r\n  mira\r\n"));
    EXPECT_TRUE(record.contains("\r\nPROJECT:\r\n  Lentaro 2\r\n"));
    EXPECT_TRUE(record.endsWith("STACK:\r\n   1 : frmMain : Sub Main : ()\r\n"
                                "   2 : \tfrmTrim : Sub Form_Load : (Cancel=0)\r\n\r\n"));
    ASSERT_EQ(defect.attachments.size(), 1U);
    EXPECT_EQ(defect.attachments[0].headers.value("content-disposition"),
              "attachment; filename=\"CircularTrace.log\"");
    EXPECT_TRUE(defect.attachments[0].body.startsWith("CIRCULAR\r\n"));

    // The error log holds the same record as the mailed attachment.
    const QString log = QString::fromUtf8(readFile("error.log"));
    EXPECT_TRUE(log.contains("\r\nUser Said\r\n\r\n"));
    EXPECT_EQ(log.count("Call Tree & Arguments"), 1);
    const auto body = [](const QString& record) {
        return record.section("Error Information", 1).section("User Said", 0, 0);
    };
    EXPECT_EQ(body(log), body(attached));

    // Each message went to the mail program with its attachment in the outbox.
    ASSERT_EQ(launched_.size(), 2U);
    for (const PostedMail& posted : launched_) {
        ASSERT_EQ(posted.attachmentPaths.size(), 1);
        EXPECT_TRUE(QFileInfo::exists(posted.attachmentPaths[0]));
    }
}

TEST_F(Reporter, NoAttachmentWhenTheCircularLogIsOff)
{
    writeIni("[Quillmark]\nAddress=defects@example.org\n[Ferrow]\nAttach "
             "Log=1\n[preferences]\nSilent Run=1\n");
    install();
    raise(RuntimeError(11));
    const std::map<QString, Eml> sent = mails();
    ASSERT_EQ(sent.size(), 1U);
    const Eml& defect = sent.at("Sentrix New Defect []");
    EXPECT_TRUE(defect.attachments.empty());
    EXPECT_EQ(defect.headers.value("content-type"), "text/plain; charset=UTF-8");
    EXPECT_TRUE(text(defect.body).startsWith("KEY:\r\n"));
}

TEST_F(Reporter, ALeftoverReportFileIsNotMailedAgain)
{
    writeFile("!error!.log", "LEFTOVER FROM A CRASH\r\n");
    writeIni("[email]\nAddress=support@example.org\n[preferences]\nSilent Run=1\n");
    install();
    raise(RuntimeError(11));
    const std::map<QString, Eml> sent = mails();
    ASSERT_EQ(sent.size(), 1U);
    const Eml& report = sent.at("Remote Error Report From Lentaro");
    ASSERT_EQ(report.attachments.size(), 1U);
    const QString attached = text(report.attachments[0].body);
    EXPECT_FALSE(attached.contains("LEFTOVER"));
    EXPECT_TRUE(attached.contains(" - start Sentrix client v"));
    EXPECT_FALSE(QFileInfo::exists(path("!error!.log")));
    // Write To Disk is off: the report is mailed, no error log is written.
    EXPECT_FALSE(QFileInfo::exists(path("error.log")));
}

TEST_F(Reporter, TheDialogsNoteReachesTheLogAndEveryCloseLowersTheFlag)
{
    writeIni("[log file]\nWrite To Disk=1\n");
    install();

    whenDialogIsUp([this](frmSENTRIX& dialog) {
        EXPECT_TRUE(runtime().errorDialogUp());
        part<QPlainTextEdit>(dialog, "Text1")->setPlainText("first note");
        part<QPushButton>(dialog, "nsCtrlMore")->click();
    });
    EXPECT_EQ(raise(RuntimeError(11)), ErrorChoice::BreakTo);
    EXPECT_FALSE(runtime().errorDialogUp());

    // A title-bar close of the next error is Continue with that error's own note.
    whenDialogIsUp([this](frmSENTRIX& dialog) {
        EXPECT_TRUE(runtime().errorDialogUp());
        part<QPlainTextEdit>(dialog, "Text1")->setPlainText("second note");
        dialog.close();
    });
    EXPECT_EQ(raise(RuntimeError(5)), ErrorChoice::Continue);
    EXPECT_FALSE(runtime().errorDialogUp());

    const QString log = QString::fromUtf8(readFile("error.log"));
    const QStringList records = log.split(" - start Sentrix client v", Qt::SkipEmptyParts);
    ASSERT_EQ(records.size(), 3); // the text before the first record, then two records
    EXPECT_TRUE(records[1].contains("\r\nUser Said\r\n\r\n"));
    EXPECT_TRUE(records[2].contains("\r\nUser Said\r\nsecond note\r\n"));

    // Trace calls go on once the dialog is down.
    {
        TraceScope after("frmMain", "Sub cmdPlay_Click");
    }
    EXPECT_EQ(runtime().callStack().depth(), 0);
}

} // namespace
} // namespace lentaro::test
