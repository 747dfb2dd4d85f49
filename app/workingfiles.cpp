#include "app/workingfiles.h"

#include "platform/forms/prompts.h"

namespace lentaro {

bool namesWorkingFile(const QString& path)
{
    return path.contains(QLatin1String("temp.wav"), Qt::CaseInsensitive)
           || path.contains(QLatin1String("tempslow.wav"), Qt::CaseInsensitive);
}

void refuseWorkingName()
{
    forms::MsgBox(
        QStringLiteral("Please choose a different name. Lentaro likes temp.wav for itself."));
}

} // namespace lentaro
