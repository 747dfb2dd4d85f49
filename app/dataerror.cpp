#include "app/dataerror.h"

#include "app/webaddresses.h"
#include "platform/forms/prompts.h"

namespace lentaro {

void showDataError(int DataErr, const char* control)
{
    forms::MsgBox(QStringLiteral("Please inform programmer that there has been a data error ")
                  + QString::number(DataErr) + QStringLiteral(" in the ")
                  + QString::fromUtf8(control) + QStringLiteral(" control (send e-mail to ")
                  + supportEmailAddress + QStringLiteral(")"));
}

} // namespace lentaro
