#include "trace/frmSENTRIX.h"

#include "platform/forms/prompts.h"
#include "trace/calltree.h"
#include "trace/errortexts.h"
#include "trace/overridepointer.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace lentaro {

namespace {

const char* const hintProperty = "sentrixHint";
const QString backgroundHint =
    QStringLiteral("Press 'Continue' to acknowledge this error and continue.");

// The note view, the details view, the call tree view and the system information view.
const char* const viewItems[] = {
    "To help resolve the problem, please enter what you were doing.",
    "View detailed information about the error source",
    "View error context and procedure trace",
    "View local system information",
};

enum View { NoteView = 0, DetailsView = 1, CallTreeView = 2, SystemView = 3 };

// No level records a code position in this program: the pointer is always 0.
constexpr int codePointer = 0;

// A caption of the message table without its trailing blanks, and then one blank.
QString caption(int text)
{
    return pfMessageText(text).trimmed() + QLatin1Char(' ');
}

QString lineText(const ErrorRecord& error)
{
    if (error.lineNumber == 0)
        return QStringLiteral(" line numbers not used - Code Pointer = ")
               + QString::number(codePointer);
    return QLatin1Char(' ') + QString::number(error.lineNumber);
}

QLabel* captionLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

template <typename Widget>
Widget* named(const char* name, QWidget* parent)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

frmSENTRIX::frmSENTRIX(ErrorDialogSetup setup, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup))
{
    setObjectName(QStringLiteral("frmSENTRIX"));
    buildWindow();
}

frmSENTRIX::~frmSENTRIX()
{
    leaveDialogUp();
}

void frmSENTRIX::buildWindow()
{
    setWindowTitle(pfMessageText(34));
    setModal(true);

    lblErrCnt = named<QLabel>("lblErrCnt", this);
    lblErrCnt->setWordWrap(true);
    Combo1 = named<QComboBox>("Combo1", this);
    Picture1 = named<QStackedWidget>("Picture1", this);

    // The note view.
    auto* notePage = new QWidget(Picture1);
    Text1 = named<QPlainTextEdit>("Text1", notePage);
    (new QVBoxLayout(notePage))->addWidget(Text1);

    // The details view.
    auto* detailsPage = new QWidget(Picture1);
    errText = named<QComboBox>("errText", detailsPage);
    ErrType = named<QLineEdit>("ErrType", detailsPage);
    errProject = named<QLineEdit>("errProject", detailsPage);
    ErrType->setReadOnly(true);
    errProject->setReadOnly(true);
    ErrModule = named<QLabel>("ErrModule", detailsPage);
    ErrProcedure = named<QLabel>("ErrProcedure", detailsPage);
    ErrLine = named<QLabel>("ErrLine", detailsPage);
    ErrNo = named<QLabel>("ErrNo", detailsPage);
    auto* details = new QGridLayout(detailsPage);
    const struct {
        const char* name;
        int text;
        QWidget* value;
        const char* hint;
    } rows[] = {
        {"nsCtrlLabel6", 37, errText, "A description of the error"},
        {"nsCtrlLabel7", 38, ErrType, "The error category"},
        {"nsCtrlProjLab", 61, errProject, "The error source"},
        {"nsCtrlLabel1", 19, ErrModule, "The error module"},
        {"nsCtrlLabel2", 30, ErrProcedure, "The error procedure"},
        {"nsCtrlLabel4", 35, ErrLine, "The line number where the error happened"},
        {"nsCtrlLabel5", 36, ErrNo, "The error number"},
    };
    int row = 0;
    for (const auto& item : rows) {
        QLabel* label = captionLabel(item.name, caption(item.text), detailsPage);
        details->addWidget(label, row, 0);
        details->addWidget(item.value, row, 1);
        setHint(label, QString::fromLatin1(item.hint));
        if (item.value != errText)
            setHint(item.value, QString::fromLatin1(item.hint));
        ++row;
    }
    details->setRowStretch(row, 1);
    details->setColumnStretch(1, 1);

    // The call tree view.
    auto* callsPage = new QWidget(Picture1);
    nsCtrlCalls = named<QListWidget>("nsCtrlCalls", callsPage);
    nsCtrlCalls->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    (new QVBoxLayout(callsPage))->addWidget(nsCtrlCalls);

    // The system information view.
    auto* systemPage = new QWidget(Picture1);
    nsCtrlArgs = named<QPlainTextEdit>("nsCtrlArgs", systemPage);
    nsCtrlArgs->setReadOnly(true);
    nsCtrlArgs->setLineWrapMode(QPlainTextEdit::NoWrap);
    nsCtrlArgs->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    (new QVBoxLayout(systemPage))->addWidget(nsCtrlArgs);

    for (QWidget* page : {notePage, detailsPage, callsPage, systemPage})
        Picture1->addWidget(page);

    sxPrint = named<QPushButton>("sxPrint", this);
    sxPrint->setText(QStringLiteral("Print"));
    nsHelp = named<QPushButton>("nsHelp", this);
    nsHelp->setText(QStringLiteral("Help"));
    nsCtrlMore = named<QPushButton>("nsCtrlMore", this);
    nsCtrlMore->setText(pfMessageText(44));
    nsCtrlContinue = named<QPushButton>("nsCtrlContinue", this);
    nsCtrlContinue->setText(pfMessageText(42));
    nsCtrlContinue->setDefault(true);
    setHint(nsCtrlContinue, QStringLiteral("Press to acknowledge this error and continue."));
    setHint(nsCtrlMore, QStringLiteral("Press to break to design-mode in this procedure."));
    setHint(nsHelp, QStringLiteral("Press to show detailed help about this error."));
    setHint(sxPrint, QStringLiteral("Press to print this tabs data to the default printer."));

    lblStatus = named<QLabel>("lblStatus", this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sxPrint);
    buttons->addWidget(nsHelp);
    buttons->addStretch(1);
    buttons->addWidget(nsCtrlMore);
    buttons->addWidget(nsCtrlContinue);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblErrCnt);
    layout->addWidget(Combo1);
    layout->addWidget(Picture1, 1);
    layout->addLayout(buttons);
    layout->addWidget(lblStatus);
    resize(640, 460);

    for (const char* item : viewItems)
        Combo1->addItem(QString::fromLatin1(item));
    connect(Combo1, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int index) { chooseView(index); });
    connect(errText, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { showDetails(index); });
    connect(nsCtrlContinue, &QPushButton::clicked, this, [this] { continueClicked(); });
    connect(nsCtrlMore, &QPushButton::clicked, this, [this] { breakToClicked(); });
    connect(sxPrint, &QPushButton::clicked, this, [this] { printClicked(); });
    connect(nsHelp, &QPushButton::clicked, this, [this] { helpClicked(); });
}

void frmSENTRIX::setHint(QWidget* widget, const QString& hint)
{
    widget->setProperty(hintProperty, hint);
    widget->installEventFilter(this);
}

void frmSENTRIX::present(const ErrorReport& report)
{
    // Only the reported error is held: no component of this program passes on a chain of
    // earlier errors, so the list of held errors has this one item.
    error_ = report.error;
    ErrType->setText(error_.category);
    nsCtrlCalls->clear();
    nsCtrlArgs->setPlainText(report.systemReport);
    reportBuilt_ = false;

    const auto selectView = [this](int index) {
        if (Combo1->currentIndex() == index)
            chooseView(index);
        else
            Combo1->setCurrentIndex(index);
    };
    if (setup_.developmentEnvironment) {
        selectView(DetailsView);
        nsHelp->setVisible(true);
    } else {
        if (!setup_.forceSystemInfo) {
            Combo1->setCurrentIndex(NoteView);
            while (Combo1->count() > 1)
                Combo1->removeItem(Combo1->count() - 1);
        }
        selectView(NoteView);
        nsCtrlMore->setVisible(false);
        nsHelp->setVisible(false);
    }

    const QString heading = QStringLiteral("An unexpected '") + error_.description.toLower()
                            + QStringLiteral("' error occurred in ") + setup_.executableName
                            + QLatin1Char('.');
    Text1->setPlainText(QStringLiteral("Type in what you were doing here."));

    errText->clear();
    errText->addItem(QStringLiteral("Error 1 - ") + error_.description);
    showDetails(0);
    lblErrCnt->setText(heading + QLatin1Char('\n') + QString::number(errText->count())
                       + QStringLiteral(" error(s) are logged."));

    fillCallTree(report);
    for (int line = nsCtrlCalls->count() - 1; line >= 0; --line) {
        if (nsCtrlCalls->item(line)->text().contains(QStringLiteral("Runtime error"))) {
            nsCtrlCalls->setCurrentRow(line);
            break;
        }
    }
}

void frmSENTRIX::fillCallTree(const ErrorReport& report)
{
    int number = 0;
    for (const CallTreeLine& line : callTreeLines(report)) {
        ++number;
        nsCtrlCalls->addItem(QLatin1Char(' ') + QString::number(number) + callTreeTagText(line.tag)
                             + QLatin1Char('\t') + QString(line.nesting, QLatin1Char('\t'))
                             + line.text);
    }
}

void frmSENTRIX::showDetails(int index)
{
    if (index != 0)
        return;
    ErrType->setText(error_.category);
    ErrNo->setText(QLatin1Char(' ') + QString::number(error_.number));
    ErrModule->setText(QLatin1Char(' ') + error_.module);
    errProject->setText(error_.source);
    ErrProcedure->setText(QLatin1Char(' ') + error_.procedure);
    ErrLine->setText(lineText(error_));
}

void frmSENTRIX::chooseView(int index)
{
    if (index < 0 || index >= Picture1->count())
        return;
    Picture1->setCurrentIndex(index);
    try {
        if (index == NoteView) {
            Text1->selectAll();
            Text1->setFocus();
        } else if (index == SystemView && !reportBuilt_ && setup_.buildSystemReport) {
            const OverridePointer busy(Qt::WaitCursor);
            nsCtrlArgs->clear();
            nsCtrlArgs->setPlainText(setup_.buildSystemReport());
            reportBuilt_ = true;
        }
    } catch (...) {
        // A view that cannot be brought up to date still shows what it has.
    }
}

QString frmSENTRIX::systemReportText() const
{
    return nsCtrlArgs->toPlainText();
}

QString frmSENTRIX::printedText() const
{
    switch (Picture1->currentIndex()) {
    case NoteView:
        return Text1->toPlainText();
    case DetailsView:
        return QStringList{
            caption(38) + ErrType->text(),        caption(61) + errProject->text(),
            caption(19) + ErrModule->text(),      caption(30) + ErrProcedure->text(),
            caption(35) + ErrLine->text(),        caption(36) + ErrNo->text(),
            caption(37) + errText->currentText(),
        }
            .join(QLatin1Char('\n'));
    case CallTreeView: {
        QStringList lines;
        for (int line = 0; line < nsCtrlCalls->count(); ++line)
            lines << nsCtrlCalls->item(line)->text();
        return lines.join(QLatin1Char('\n'));
    }
    case SystemView:
        return nsCtrlArgs->toPlainText();
    default:
        return {};
    }
}

void frmSENTRIX::UpdateStatusBar(const QString& text)
{
    if (text.compare(status_, Qt::CaseInsensitive) == 0)
        return;
    status_ = text;
    lblStatus->setText(text);
}

void frmSENTRIX::continueClicked()
{
    choice_ = ErrorChoice::Continue;
    note_ = Text1->toPlainText();
    done(QDialog::Accepted);
}

void frmSENTRIX::breakToClicked()
{
    choice_ = ErrorChoice::BreakTo;
    note_.clear();
    done(QDialog::Accepted);
}

void frmSENTRIX::done(int result)
{
    leaveDialogUp();
    QDialog::done(result);
}

void frmSENTRIX::reject()
{
    // The title bar's close and Escape leave the way Continue does.
    continueClicked();
}

void frmSENTRIX::printClicked()
{
    try {
        std::unique_ptr<QPrinter> printer =
            setup_.makePrinter ? setup_.makePrinter() : std::make_unique<QPrinter>();
        if (!printer)
            return;
        QTextDocument document;
        document.setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        document.setPlainText(printedText());
        document.print(printer.get());
    } catch (...) {
        // Nothing printed; the dialog stays as it was.
    }
}

void frmSENTRIX::helpClicked()
{
    // Help is offered only under a debugger, and this program has no separate development
    // executable to run inside: the debugger stands for the development environment's main
    // executable, where Help first names the error in a box. The errors carry no help file of
    // their own and a file viewer has no help contexts: the runtime's help file is opened whole.
    const QString text =
        QStringLiteral("Press F1 for Help on \"") + errText->currentText() + QLatin1Char('"');
    if (forms::MsgBox(text, forms::Buttons::OkOnly | forms::Buttons::Help) == forms::Answer::Help
        && setup_.openUrl && !setup_.runtimeHelpFile.isEmpty())
        setup_.openUrl(QUrl::fromLocalFile(setup_.runtimeHelpFile));
}

void frmSENTRIX::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        const QString helpFile =
            setup_.developmentEnvironment ? setup_.runtimeHelpFile : setup_.programHelpFile;
        if (setup_.openUrl && !helpFile.isEmpty())
            setup_.openUrl(QUrl::fromLocalFile(helpFile));
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSENTRIX::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    dialogUp_ = true;
    if (setup_.setDialogUp)
        setup_.setDialogUp(true);
    if (Picture1->currentIndex() == NoteView) {
        Text1->setFocus();
        Text1->selectAll();
    }
}

void frmSENTRIX::hideEvent(QHideEvent* event)
{
    leaveDialogUp();
    QDialog::hideEvent(event);
}

void frmSENTRIX::leaveDialogUp()
{
    if (!dialogUp_)
        return;
    dialogUp_ = false;
    if (setup_.setDialogUp)
        setup_.setDialogUp(false);
}

bool frmSENTRIX::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        UpdateStatusBar(watched->property(hintProperty).toString());
    } else if (event->type() == QEvent::Leave) {
        UpdateStatusBar(backgroundHint);
    }
    return QDialog::eventFilter(watched, event);
}

bool frmSENTRIX::event(QEvent* event)
{
    if (event->type() == QEvent::Enter)
        UpdateStatusBar(backgroundHint);
    return QDialog::event(event);
}

ErrorChoice pfShowErrorDialog(ErrorReport& report, const ErrorDialogSetup& setup)
{
    frmSENTRIX dialog(setup);
    dialog.present(report);
    dialog.exec();
    report.userNote = dialog.note();
    report.systemReport = dialog.systemReportText();
    return dialog.choice();
}

} // namespace lentaro
