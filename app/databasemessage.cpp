#include "app/databasemessage.h"

#include "app/exitprogram.h"
#include "platform/forms/prompts.h"
#include "platform/shell/programfolder.h"

namespace lentaro {

void databaseDidNotOpen(const QString& reason)
{
    QString message = QStringLiteral("Please inform the programmer that file ") + programFolder()
                      + QStringLiteral("/lentaro.mdb failed to open.");
    if (!reason.isEmpty())
        message += QStringLiteral(" Error is ") + reason;
    forms::MsgBox(message);
    exitProgram();
}

} // namespace lentaro
