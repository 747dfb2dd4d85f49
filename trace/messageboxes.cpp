#include "trace/messageboxes.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace lentaro {

namespace {

bool widgetsRunning()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void printToStandardError(const QString& title, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
}

} // namespace

bool QtMessageBoxes::confirm(const QString& title, const QString& text)
{
    if (!widgetsRunning()) {
        printToStandardError(title, text);
        return false;
    }
    return QMessageBox::warning(nullptr, title, text, QMessageBox::Ok | QMessageBox::Cancel)
           == QMessageBox::Ok;
}

void QtMessageBoxes::critical(const QString& title, const QString& text)
{
    if (!widgetsRunning()) {
        printToStandardError(title, text);
        return;
    }
    QMessageBox::critical(nullptr, title, text);
}

} // namespace lentaro
