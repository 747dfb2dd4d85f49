#include "app/workingfiles.h"

#include "platform/forms/prompts.h"
#include "platform/shell/programfolder.h"

namespace lentaro {

QString tempWav()
{
    return programFolder() + QStringLiteral("/temp.wav");
}

QString tempSlowWav()
{
    return programFolder() + QStringLiteral("/tempslow.wav");
}

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
