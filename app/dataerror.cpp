#include "app/dataerror.h"

#include "app/storagetrouble.h"
#include "app/webaddresses.h"
#include "platform/forms/prompts.h"

namespace lentaro {

void showDataError(int DataErr, const char* control)
{
    // A full or read-only program folder is the user's to mend, not the programmer's.
    if (const QString trouble = storageTrouble(); !trouble.isEmpty()) {
        forms::MsgBox(QStringLiteral("Your change could not be stored, because ") + trouble
                          + QLatin1Char('.'),
                      forms::Buttons::OkOnly, forms::Icon::Exclamation);
        return;
    }
    forms::MsgBox(QStringLiteral("Please inform programmer that there has been a data error ")
                  + QString::number(DataErr) + QStringLiteral(" in the ")
                  + QString::fromUtf8(control) + QStringLiteral(" control (send e-mail to ")
                  + supportEmailAddress + QStringLiteral(")"));
}

} // namespace lentaro
