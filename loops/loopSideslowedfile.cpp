// Keeping the last slowed-down loop: tempslow.wav copied to a wave file the user names, never
// over the file the loop came from nor over a working file.
#include "loops/loopSide.h"

#include "app/filecopy.h"
#include "app/programstate.h"
#include "app/utilities.h"
#include "app/workingfiles.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/prompts.h"
#include "trace/tracescope.h"

#include <QFileInfo>

#include <exception>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

// "song slowed 50%.wav" for a loop of song.wav played at half speed.
QString proposedName(const QString& source, int percent)
{
    const QString base =
        source.isEmpty() ? QStringLiteral("loop") : QFileInfo(source).completeBaseName();
    const QString speed = percent < 100 ? QStringLiteral(" slowed %1%") : QStringLiteral(" at %1%");
    return base + speed.arg(percent) + QStringLiteral(".wav");
}

bool isWorkingFile(const QString& name)
{
    return namesWorkingFile(name) || sameFile(name, tempWav()) || sameFile(name, tempSlowWav());
}

} // namespace

void LoopSideOfMain::saveSlowedDownFile()
{
    TraceScope trace(module, "Sub mnuSaveSlowedDownFile_Click");
    trace.run([&] {
        if (passRunning()) {
            forms::MsgBox(QStringLiteral("The slowed-down file is still being made. Please save "
                                         "it once the loop plays."));
            return;
        }
        // The wave file the loop was cut from; a disc's loop has none.
        const MainState& state = c_.state;
        const QString source = state.savedCdView ? QString() : state.savedWaveFileName;
        forms::FileDialogRequest request = c_.dlgWave;
        request.kind = forms::FileDialogRequest::Kind::Save;
        request.caption = QStringLiteral("Choose filename for slowed-down file");
        if (!source.isEmpty())
            request.folder = QFileInfo(source).absolutePath();
        request.fileName = proposedName(source, state.slowDownPercent());
        const QString name = forms::prompts().fileDialog(request).value_or(QString());
        if (name.isEmpty())
            return;
        if (isWorkingFile(name)) {
            refuseWorkingName();
            return;
        }
        if (!source.isEmpty() && sameFile(name, source)) {
            forms::MsgBox(QStringLiteral("The slowed-down loop cannot replace the file it was "
                                         "made from, %1. Please choose another name.")
                              .arg(source));
            return;
        }
        try {
            replaceWithCopy(tempSlowWav(), name);
        } catch (const std::exception& error) {
            forms::MsgBox(QStringLiteral("The slowed-down file could not be saved as %1 (%2).")
                              .arg(name, QString::fromLocal8Bit(error.what())));
            return;
        }
        host_->addToMRUs(name);
    });
}

} // namespace lentaro
