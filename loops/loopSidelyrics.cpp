// The chords and lyrics of the loops shown, written to a text file of the user's choosing.
#include "loops/loopSide.h"

#include "platform/forms/prompts.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QSaveFile>
#include <QSqlRecord>
#include <QSqlTableModel>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

} // namespace

QByteArray LoopSideOfMain::chordsAndLyrics() const
{
    // Read from the rows as they stand, so the loop chosen stays chosen.
    QByteArray text;
    const int count = rows_.count();
    for (int row = 0; row < count; ++row) {
        const QSqlRecord record = rows_.model()->record(row);
        for (const char* name : {"chords", "lyrics"}) {
            const QString field = record.value(QLatin1String(name)).toString();
            if (!field.isEmpty())
                text += field.toUtf8() + "\r\n";
        }
    }
    return text;
}

void LoopSideOfMain::saveLyrics()
{
    TraceScope trace(module, "Sub mnuSaveLyrics_Click");
    trace.run([&] {
        forms::FileDialogRequest dlgSaveLyrics;
        dlgSaveLyrics.kind = forms::FileDialogRequest::Kind::Save;
        dlgSaveLyrics.caption = QStringLiteral("Save chords and/or lyrics");
        dlgSaveLyrics.filter = QStringLiteral("text files (*.txt)");
        const std::optional<QString> name = forms::prompts().fileDialog(dlgSaveLyrics);
        if (!name || name->isEmpty())
            return;
        // All of it or nothing: a file that was there stays as it was when the writing fails.
        QSaveFile file(*name);
        if (!file.open(QIODevice::WriteOnly) || file.write(chordsAndLyrics()) < 0 || !file.commit())
            throw RuntimeError(errorNumbers::pathFileAccess,
                               QStringLiteral("The chords and lyrics could not be saved to %1: %2")
                                   .arg(*name, file.errorString()));
    });
}

} // namespace lentaro
