#include "tests/trace/dialog_driver.h"
#include "tests/trace/report_fixture.h"
#include "tests/trace/trace_fixture.h"

#include "platform/forms/scriptedprompts.h"

#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStackedWidget>

#include <optional>

namespace lentaro::test {
namespace {

class ErrorDialog : public ::testing::Test
{
protected:
    ErrorDialogSetup setup(bool developmentEnvironment = false, bool forceSystemInfo = false)
    {
        ErrorDialogSetup setup;
        setup.developmentEnvironment = developmentEnvironment;
        setup.forceSystemInfo = forceSystemInfo;
        setup.executableName = QStringLiteral("Lentaro");
        setup.runtimeHelpFile = QStringLiteral("/home/mira/.local/share/lentaro/sentrix.hlp");
        setup.programHelpFile = QStringLiteral("/usr/share/doc/lentaro/manual.pdf");
        setup.buildSystemReport = [this] {
            ++reportsBuilt_;
            return QStringLiteral("fresh report %1").arg(reportsBuilt_);
        };
        setup.setDialogUp = [this](bool up) { dialogUp_ = up; };
        setup.openUrl = [this](const QUrl& url) {
            opened_ << url;
            return true;
        };
        setup.makePrinter = [this] {
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf_);
            return printer;
        };
        return setup;
    }

    ErrorReport report(int lineNumber = 0)
    {
        ErrorReport report = divisionByZeroReport(lineNumber);
        report.systemReport = QStringLiteral("report of the machine");
        return report;
    }

    QTemporaryDir folder_;
    const QString pdf_ = folder_.filePath(QStringLiteral("printed.pdf"));
    int reportsBuilt_ = 0;
    bool dialogUp_ = false;
    QList<QUrl> opened_;
    // The boxes the dialog shows, recorded and answered from a queue.
    forms::ScriptedPrompts prompts_;
    ScopedOverride<forms::PromptService> promptsInPlace_{forms::prompts, prompts_};
};

TEST_F(ErrorDialog, LayoutsForTheUserAndForTheDeveloper)
{
    const struct {
        const char* name;
        bool developmentEnvironment;
        bool forceSystemInfo;
        int views;
        int shownView;
        bool breakTo;
        bool help;
    } cases[] = {
        {"user", false, false, 1, 0, false, false},
        {"user with Force System Info", false, true, 4, 0, false, false},
        {"developer", true, false, 4, 1, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frmSENTRIX dialog(setup(c.developmentEnvironment, c.forceSystemInfo));
        dialog.present(report());
        dialog.show();

        EXPECT_EQ(dialog.windowTitle(), "Program Error Intercepted");
        auto* views = part<QComboBox>(dialog, "Combo1");
        ASSERT_EQ(views->count(), c.views);
        EXPECT_EQ(views->itemText(0),
                  "To help resolve the problem, please enter what you were doing.");
        if (c.views == 4) {
            EXPECT_EQ(views->itemText(1), "View detailed information about the error source");
            EXPECT_EQ(views->itemText(2), "View error context and procedure trace");
            EXPECT_EQ(views->itemText(3), "View local system information");
        }
        EXPECT_EQ(part<QStackedWidget>(dialog, "Picture1")->currentIndex(), c.shownView);
        EXPECT_EQ(part<QPushButton>(dialog, "nsCtrlMore")->isVisible(), c.breakTo);
        EXPECT_EQ(part<QPushButton>(dialog, "nsHelp")->isVisible(), c.help);
        EXPECT_TRUE(part<QPushButton>(dialog, "nsCtrlContinue")->isVisible());
        EXPECT_TRUE(part<QPushButton>(dialog, "sxPrint")->isVisible());
        EXPECT_EQ(part<QPushButton>(dialog, "nsCtrlContinue")->text(), "&Continue");
        EXPECT_EQ(part<QPushButton>(dialog, "nsCtrlMore")->text(), "&Break to");
        EXPECT_EQ(
            part<QLabel>(dialog, "lblErrCnt")->text(),
            "An unexpected 'division by zero' error occurred in Lentaro.\n1 error(s) are logged.");
        EXPECT_EQ(part<QPlainTextEdit>(dialog, "Text1")->toPlainText(),
                  "Type in what you were doing here.");
        EXPECT_TRUE(dialogUp_);
        part<QPushButton>(dialog, "nsCtrlContinue")->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialogUp_);
    }
}

TEST_F(ErrorDialog, DetailsAndCallTreeOfTheError)
{
    const struct {
        int lineNumber;
        const char* lineText;
        const char* trapLine;
    } cases[] = {
        {0, " line numbers not used - Code Pointer = 0",
         " 3 : Trap\t\tRuntime error 11, Division by zero"},
        {12, " 12", " 3 : Trap\t\tRuntime error 11, Division by zero on line 12"},
    };
    for (const auto& c : cases) {
        frmSENTRIX dialog(setup(true));
        dialog.present(report(c.lineNumber));
        auto* errors = part<QComboBox>(dialog, "errText");
        ASSERT_EQ(errors->count(), 1);
        EXPECT_EQ(errors->itemText(0), "Error 1 - Division by zero");
        EXPECT_EQ(part<QLineEdit>(dialog, "ErrType")->text(), "General run-time error");
        EXPECT_EQ(part<QLineEdit>(dialog, "errProject")->text(), "Lentaro (local)");
        EXPECT_EQ(part<QLabel>(dialog, "ErrModule")->text(), " frmTrim");
        EXPECT_EQ(part<QLabel>(dialog, "ErrProcedure")->text(), " Sub Form_Load");
        EXPECT_EQ(part<QLabel>(dialog, "ErrLine")->text(), c.lineText);
        EXPECT_EQ(part<QLabel>(dialog, "ErrNo")->text(), " 11");
        EXPECT_EQ(part<QLabel>(dialog, "nsCtrlLabel1")->text(), "Module ");
        EXPECT_EQ(part<QLabel>(dialog, "nsCtrlLabel2")->text(), "Procedure ");
        EXPECT_EQ(part<QLabel>(dialog, "nsCtrlProjLab")->text(), "Source ");

        auto* calls = part<QListWidget>(dialog, "nsCtrlCalls");
        ASSERT_EQ(calls->count(), 3);
        EXPECT_EQ(calls->item(0)->text(), " 1 : Call\tfrmMain : Sub Main : ()");
        EXPECT_EQ(calls->item(1)->text(), " 2 : Call\t\tfrmTrim : Sub Form_Load : (Cancel=0)");
        EXPECT_EQ(calls->item(2)->text(), c.trapLine);
        EXPECT_EQ(calls->currentRow(), 2);
        EXPECT_EQ(part<QPlainTextEdit>(dialog, "nsCtrlArgs")->toPlainText(),
                  "report of the machine");
    }
}

TEST_F(ErrorDialog, SystemViewRebuildsTheReportOnceOnItsFirstChoice)
{
    frmSENTRIX dialog(setup(true));
    dialog.present(report());
    auto* views = part<QComboBox>(dialog, "Combo1");
    views->setCurrentIndex(3);
    views->setCurrentIndex(2);
    views->setCurrentIndex(3);
    EXPECT_EQ(reportsBuilt_, 1);
    EXPECT_EQ(dialog.systemReportText(), "fresh report 1");
}

TEST_F(ErrorDialog, ContinueReturnsZeroWithTheUsersNote)
{
    ErrorReport shown = report();
    bool upWhileShown = false;
    whenDialogIsUp([&](frmSENTRIX& dialog) {
        upWhileShown = dialogUp_;
        part<QPlainTextEdit>(dialog, "Text1")->setPlainText("I pressed Play twice");
        part<QPushButton>(dialog, "nsCtrlContinue")->click();
    });
    EXPECT_EQ(pfShowErrorDialog(shown, setup()), ErrorChoice::Continue);
    EXPECT_EQ(static_cast<int>(ErrorChoice::Continue), 0);
    EXPECT_EQ(shown.userNote, "I pressed Play twice");
    EXPECT_EQ(shown.systemReport, "report of the machine");
    EXPECT_TRUE(upWhileShown);
    EXPECT_FALSE(dialogUp_);
}

TEST_F(ErrorDialog, EveryOtherWayOutActsAsContinue)
{
    const struct {
        const char* name;
        std::function<void(frmSENTRIX&)> close;
    } cases[] = {
        {"title bar", [](frmSENTRIX& dialog) { dialog.close(); }},
        {"Escape",
         [](frmSENTRIX& dialog) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&dialog, &escape);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ErrorReport shown = report();
        whenDialogIsUp([&](frmSENTRIX& dialog) {
            part<QPlainTextEdit>(dialog, "Text1")->setPlainText("it froze");
            c.close(dialog);
        });
        EXPECT_EQ(pfShowErrorDialog(shown, setup(true)), ErrorChoice::Continue);
        EXPECT_EQ(shown.userNote, "it froze");
        EXPECT_FALSE(dialogUp_);
    }
}

TEST_F(ErrorDialog, BreakToReturnsFiveWithoutTheNote)
{
    ErrorReport shown = report();
    whenDialogIsUp([&](frmSENTRIX& dialog) {
        part<QPlainTextEdit>(dialog, "Text1")->setPlainText("not taken");
        part<QPushButton>(dialog, "nsCtrlMore")->click();
    });
    EXPECT_EQ(pfShowErrorDialog(shown, setup(true)), ErrorChoice::BreakTo);
    EXPECT_EQ(shown.userNote, "");
    EXPECT_FALSE(dialogUp_);
}

TEST_F(ErrorDialog, DestroyingTheShownDialogClearsTheFlag)
{
    {
        frmSENTRIX dialog(setup());
        dialog.present(report());
        dialog.show();
        EXPECT_TRUE(dialogUp_);
    }
    EXPECT_FALSE(dialogUp_);
}

TEST_F(ErrorDialog, PrintsTheViewShown)
{
    frmSENTRIX dialog(setup(true));
    dialog.present(report(12));
    EXPECT_EQ(dialog.printedText(), "Category General run-time error\n"
                                    "Source Lentaro (local)\n"
                                    "Module  frmTrim\n"
                                    "Procedure  Sub Form_Load\n"
                                    "Line Number  12\n"
                                    "Error No.  11\n"
                                    "Description Error 1 - Division by zero");
    part<QComboBox>(dialog, "Combo1")->setCurrentIndex(2);
    EXPECT_EQ(dialog.printedText().split('\n').size(), 3);
    part<QComboBox>(dialog, "Combo1")->setCurrentIndex(0);
    EXPECT_EQ(dialog.printedText(), "Type in what you were doing here.");

    part<QPushButton>(dialog, "sxPrint")->click();
    QFile printed(pdf_);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.readAll().startsWith("%PDF"));
}

TEST_F(ErrorDialog, HelpOpensTheRuntimesHelpAndF1TheProgramsOutsideTheDebugger)
{
    const auto pressF1 = [](frmSENTRIX& dialog) {
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &f1);
    };
    {
        frmSENTRIX dialog(setup(true));
        dialog.present(report());
        prompts_.queueAnswer(forms::Answer::Help);
        part<QPushButton>(dialog, "nsHelp")->click();
        pressF1(dialog);
    }
    {
        frmSENTRIX dialog(setup(false));
        dialog.present(report());
        pressF1(dialog);
    }
    EXPECT_EQ(opened_,
              QList<QUrl>({QUrl::fromLocalFile("/home/mira/.local/share/lentaro/sentrix.hlp"),
                           QUrl::fromLocalFile("/home/mira/.local/share/lentaro/sentrix.hlp"),
                           QUrl::fromLocalFile("/usr/share/doc/lentaro/manual.pdf")}));
}

TEST_F(ErrorDialog, HelpNamesTheChosenErrorInABoxWithOkAndHelp)
{
    const struct {
        const char* description;
        const char* text;
    } cases[] = {
        {"Division by zero", "Press F1 for Help on \"Error 1 - Division by zero\""},
        {"File \"take1.wav\" not found",
         "Press F1 for Help on \"Error 1 - File \"take1.wav\" not found\""},
    };
    std::size_t boxes = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        ErrorReport shown = report();
        shown.error.description = QString::fromUtf8(c.description);
        frmSENTRIX dialog(setup(true));
        dialog.present(shown);
        dialog.show();
        ASSERT_TRUE(part<QPushButton>(dialog, "nsHelp")->isVisible());
        part<QPushButton>(dialog, "nsHelp")->click();

        ASSERT_EQ(prompts_.messageBoxes().size(), ++boxes);
        const forms::MessageBoxRequest& box = prompts_.messageBoxes().back();
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.caption, "Lentaro");
        EXPECT_EQ(box.buttons, forms::Buttons::OkOnly | forms::Buttons::Help);
        EXPECT_EQ(box.icon, forms::Icon::None);
        EXPECT_EQ(box.defaultButton, 1);
        // The box answers Help, not the error: the dialog stays up.
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialogUp_);
    }
}

TEST_F(ErrorDialog, OnlyTheBoxsHelpButtonOpensTheHelpFile)
{
    const struct {
        const char* name;
        std::optional<forms::Answer> answer;
        QList<QUrl> opened;
    } cases[] = {
        {"Help",
         forms::Answer::Help,
         {QUrl::fromLocalFile("/home/mira/.local/share/lentaro/sentrix.hlp")}},
        {"OK", forms::Answer::Ok, {}},
        {"Enter", std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        opened_.clear();
        if (c.answer)
            prompts_.queueAnswer(*c.answer);
        frmSENTRIX dialog(setup(true));
        dialog.present(report());
        part<QPushButton>(dialog, "nsHelp")->click();
        EXPECT_EQ(opened_, c.opened);
    }
}

TEST_F(ErrorDialog, StatusLineHintsFollowThePointer)
{
    frmSENTRIX dialog(setup(true));
    dialog.present(report());
    const struct {
        const char* control;
        const char* hint;
    } cases[] = {
        {"nsCtrlContinue", "Press to acknowledge this error and continue."},
        {"nsCtrlMore", "Press to break to design-mode in this procedure."},
        {"nsHelp", "Press to show detailed help about this error."},
        {"sxPrint", "Press to print this tabs data to the default printer."},
        {"ErrLine", "The line number where the error happened"},
        {"nsCtrlLabel4", "The line number where the error happened"},
        {"nsCtrlLabel6", "A description of the error"},
        {"ErrType", "The error category"},
    };
    auto* status = part<QLabel>(dialog, "lblStatus");
    for (const auto& c : cases) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(part<QWidget>(dialog, c.control), &enter);
        EXPECT_EQ(status->text(), c.hint) << c.control;
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(part<QWidget>(dialog, c.control), &leave);
        EXPECT_EQ(status->text(), "Press 'Continue' to acknowledge this error and continue.");
    }
    dialog.UpdateStatusBar("PRESS 'CONTINUE' TO ACKNOWLEDGE THIS ERROR AND CONTINUE.");
    EXPECT_EQ(status->text(), "Press 'Continue' to acknowledge this error and continue.");
}

} // namespace
} // namespace lentaro::test
