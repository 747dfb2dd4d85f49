#include "app/messageprompt.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace lentaro {

namespace {
MessagePrompt* replacement = nullptr;
}

void QtMessagePrompt::showOk(const QString& text)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok);
    box.exec();
}

MessagePrompt& messagePrompt()
{
    static QtMessagePrompt qtPrompt;
    return replacement ? *replacement : qtPrompt;
}

MessagePrompt* setMessagePrompt(MessagePrompt* prompt)
{
    MessagePrompt* const previous = replacement;
    replacement = prompt;
    return previous;
}

} // namespace lentaro
