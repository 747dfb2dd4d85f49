#include "platform/forms/qtprompts.h"

#include "platform/forms/messageboxbuttons.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <algorithm>
#include <cstdio>

namespace lentaro::forms {

namespace {

bool widgetsRunning()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void printToStandardError(const QString& caption, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
}

QMessageBox::StandardButton standardButton(Answer answer)
{
    switch (answer) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Abort:
        return QMessageBox::Abort;
    case Answer::Retry:
        return QMessageBox::Retry;
    case Answer::Ignore:
        return QMessageBox::Ignore;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    case Answer::Help:
        return QMessageBox::Help;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(Icon icon)
{
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// What closing the box from the title bar or with Escape answers: the set's way of cancelling.
Answer cancellingAnswer(const std::vector<Answer>& answers)
{
    for (Answer cancel : {Answer::Cancel, Answer::No, Answer::Ok}) {
        if (std::find(answers.begin(), answers.end(), cancel) != answers.end())
            return cancel;
    }
    return answers.front();
}

// The owner's window, which the box is a child of.
QWidget* parentOf(QWidget* owner)
{
    return owner ? owner->window() : nullptr;
}

// A window that stays above all others keeps a box of the ordinary level beneath it: the box
// takes its owner's level, and, shown after it, lies above it.
void keepAboveOwner(QDialog& box, QWidget* owner)
{
    if (owner && owner->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

} // namespace

Answer QtPromptService::messageBox(const MessageBoxRequest& request)
{
    if (!widgetsRunning()) {
        printToStandardError(request.caption, request.text);
        return defaultAnswer(request);
    }
    const std::vector<Answer> answers = answersOf(request.buttons);
    QMessageBox::StandardButtons buttons;
    for (Answer answer : answers)
        buttons |= standardButton(answer);
    QMessageBox box(messageIcon(request.icon), request.caption, request.text, buttons,
                    parentOf(request.owner));
    keepAboveOwner(box, request.owner);
    box.setDefaultButton(standardButton(defaultAnswer(request)));
    // Named, because Qt finds none for a set with Help (OK and Help): Escape and the title bar
    // would do nothing.
    const Answer escape = cancellingAnswer(answers);
    box.setEscapeButton(box.button(standardButton(escape)));
    const int chosen = box.exec();
    for (Answer answer : answers) {
        if (chosen == standardButton(answer))
            return answer;
    }
    return escape;
}

std::optional<QString> QtPromptService::inputBox(const InputBoxRequest& request)
{
    if (!widgetsRunning()) {
        printToStandardError(request.caption, request.prompt);
        return request.defaultText;
    }
    QInputDialog box(parentOf(request.owner));
    keepAboveOwner(box, request.owner);
    box.setWindowTitle(request.caption);
    box.setLabelText(request.prompt);
    box.setTextValue(request.defaultText);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

std::optional<QString> QtPromptService::fileDialog(const FileDialogRequest& request)
{
    if (!widgetsRunning()) {
        printToStandardError(request.caption, request.folder);
        return std::nullopt;
    }
    const QString start = request.fileName.isEmpty()
                              ? request.folder
                              : QDir(request.folder).filePath(request.fileName);
    QFileDialog dialog(nullptr, request.caption, start, request.filter);
    const bool saving = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QColor> QtPromptService::colorDialog(const ColorDialogRequest& request)
{
    if (!widgetsRunning()) {
        printToStandardError(request.caption, request.initial.name());
        return std::nullopt;
    }
    QColorDialog box(request.initial, parentOf(request.owner));
    keepAboveOwner(box, request.owner);
    if (!request.caption.isEmpty())
        box.setWindowTitle(request.caption);
    // The desktop's own chooser would not take its owner's level.
    if (request.owner)
        box.setOption(QColorDialog::DontUseNativeDialog);
    if (box.exec() != QDialog::Accepted || !box.selectedColor().isValid())
        return std::nullopt;
    return box.selectedColor();
}

} // namespace lentaro::forms
