#include "app/ownerrorbox.h"

#include "app/webaddresses.h"
#include "platform/forms/prompts.h"

namespace lentaro {

void showOwnErrorBox(const RuntimeError& error, const char* procedure)
{
    const QString blankLine = QStringLiteral("\r\n\r\n");
    forms::MsgBox(QStringLiteral("Error %1 occurred in procedure %2")
                      .arg(error.number())
                      .arg(QString::fromLatin1(procedure))
                  + blankLine + error.description() + blankLine
                  + QStringLiteral("Please send email with the error description to ")
                  + supportEmailAddress + QStringLiteral(". Thank you."));
}

} // namespace lentaro
