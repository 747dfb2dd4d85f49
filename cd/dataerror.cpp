#include "cd/dataerror.h"

#include "app/webaddresses.h"
#include "platform/forms/prompts.h"

namespace lentaro {

void showDataError(int DataErr, DataControl control)
{
    const QString where = control == DataControl::Tracks ? QStringLiteral(" in the Tracks control")
                                                         : QStringLiteral(" in the CDs control");
    forms::MsgBox(QStringLiteral("Please inform programmer that there has been a data error ")
                  + QString::number(DataErr) + where + QStringLiteral(" (send e-mail to ")
                  + supportEmailAddress + QStringLiteral(")"));
}

} // namespace lentaro
