// Keeping the last slowed-down loop: tempslow.wav copied to a wave file the user names.
#include "loops/loopSide.h"

#include "app/filecopy.h"
#include "app/programstate.h"
#include "app/workingfiles.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/prompts.h"
#include "trace/tracescope.h"

#include <QDir>
#include <QFileInfo>

#include <exception>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

// The file a name reaches, links and dots resolved as far as the file or its folder exists.
QString resolvedPath(const QString& name)
{
    const QFileInfo file(name);
    if (file.exists())
        return file.canonicalFilePath();
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? file.absoluteFilePath()
                            : folder + QDir::separator() + file.fileName();
}

bool isWorkingFile(const QString& name)
{
    const QString target = resolvedPath(name);
    return target == resolvedPath(tempWav()) || target == resolvedPath(tempSlowWav());
}

} // namespace

void LoopSide::saveSlowedDownFile()
{
    TraceScope trace(module, "Sub mnuSaveSlowedDownFile_Click");
    trace.run([&] {
        if (passRunning()) {
            forms::MsgBox(QStringLiteral("The slowed-down file is still being made. Please save "
                                         "it once the loop plays."));
            return;
        }
        forms::FileDialogRequest request = main_.dlgWave;
        request.kind = forms::FileDialogRequest::Kind::Save;
        request.caption = QStringLiteral("Choose filename for slowed-down file");
        const QString name = forms::prompts().fileDialog(request).value_or(QString());
        if (name.isEmpty() || name.contains(QLatin1String("tempslow.wav"), Qt::CaseInsensitive))
            return;
        if (isWorkingFile(name)) {
            refuseWorkingName();
            return;
        }
        try {
            replaceWithCopy(tempSlowWav(), name);
        } catch (const std::exception& error) {
            forms::MsgBox(QStringLiteral("The slowed-down file could not be saved as %1 (%2).")
                              .arg(name, QString::fromLocal8Bit(error.what())));
            return;
        }
        main_.addToMRUs(name);
    });
}

} // namespace lentaro
