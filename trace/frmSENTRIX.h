#pragma once

#include "trace/errorreport.h"

#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QStackedWidget;

namespace lentaro {

// What the error dialog needs besides the error.
struct ErrorDialogSetup {
    bool developmentEnvironment = false; // offers every view, "&Break to" and Help
    bool forceSystemInfo = false;        // offers every view to the user too
    QString executableName;
    QString
        runtimeHelpFile; // the runtime's help, opened from Help's box (and by F1 in development)
    QString programHelpFile; // the program's own help, opened by F1; may be empty
    std::function<QString()> buildSystemReport;             // for the system information view
    std::function<void(bool)> setDialogUp;                  // the runtime's error-dialog-up flag
    std::function<bool(const QUrl&)> openUrl;               // help files
    std::function<std::unique_ptr<QPrinter>()> makePrinter; // Print's printer
};

// The error dialog: the error, a note from the user, the error's details, its call tree and the
// system report in four views, and the buttons that close it. Every way of closing it that is
// not "&Break to" (Continue, the title bar's close, Escape) counts as Continue and keeps the note.
class frmSENTRIX : public QDialog
{
    Q_OBJECT

public:
    explicit frmSENTRIX(ErrorDialogSetup setup, QWidget* parent = nullptr);
    ~frmSENTRIX() override;

    // Fills the window with the error, offers the views the layout allows and chooses the first.
    void present(const ErrorReport& report);

    ErrorChoice choice() const { return choice_; }
    const QString& note() const { return note_; }
    // The system information view's text: the report the dialog showed.
    QString systemReportText() const;

    // The text Print sends to the printer for the view shown.
    QString printedText() const;

    // Sets the status line unless it already says the same (compared without regard to case).
    void UpdateStatusBar(const QString& text);

    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildWindow();
    void setHint(QWidget* widget, const QString& hint);
    void chooseView(int index);
    void showDetails(int index);
    void fillCallTree(const ErrorReport& report);
    void continueClicked();
    void breakToClicked();
    void printClicked();
    void helpClicked();
    void leaveDialogUp();

    ErrorDialogSetup setup_;
    ErrorRecord error_;
    ErrorChoice choice_ = ErrorChoice::Continue;
    QString note_;
    QString status_;
    bool reportBuilt_ = false;
    bool dialogUp_ = false;

    QLabel* lblErrCnt = nullptr;
    QLabel* lblStatus = nullptr;
    QComboBox* Combo1 = nullptr;
    QStackedWidget* Picture1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QComboBox* errText = nullptr;
    QLineEdit* ErrType = nullptr;
    QLineEdit* errProject = nullptr;
    QLabel* ErrModule = nullptr;
    QLabel* ErrProcedure = nullptr;
    QLabel* ErrLine = nullptr;
    QLabel* ErrNo = nullptr;
    QListWidget* nsCtrlCalls = nullptr;
    QPlainTextEdit* nsCtrlArgs = nullptr;
    QPushButton* sxPrint = nullptr;
    QPushButton* nsHelp = nullptr;
    QPushButton* nsCtrlMore = nullptr;
    QPushButton* nsCtrlContinue = nullptr;
};

// Shows the error modally and returns the choice; fills report.userNote and replaces
// report.systemReport with the text the dialog showed.
ErrorChoice pfShowErrorDialog(ErrorReport& report, const ErrorDialogSetup& setup);

} // namespace lentaro
