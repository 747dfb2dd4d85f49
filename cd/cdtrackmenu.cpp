// The tracks grid's right-button menu and the notation file linked to a track.
#include "cd/cdfields.h"

#include "app/ownerrorbox.h"
#include "app/programstate.h"
#include "mainwindow/fieldcolumn.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/prompts.h"
#include "platform/shell/urlopener.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QUrl>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

// The desktop opens the file with its program for it. Only an existing regular file is handed
// on, as a file address: a stored path never reaches a command line.
void openNotationFile(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile() || urlOpener().open(QUrl::fromLocalFile(path)))
        return;
    const QString kind = file.suffix().isEmpty()
                             ? QStringLiteral("files without an extension")
                             : QStringLiteral(".") + file.suffix() + QStringLiteral(" files");
    forms::MsgBox(QStringLiteral("%1 could not be opened: no program on this computer opens %2. "
                                 "Install one that does, or link another file to this track.")
                      .arg(path, kind),
                  forms::Buttons::OkOnly, forms::Icon::Exclamation);
}

} // namespace

QString CdFields::notation() const
{
    const int row = currentTrackRow();
    if (row < 0)
        return QString();
    return c_.state.dtaTracks->record(row).value(QStringLiteral("Notation")).toString();
}

void CdFields::setNotation(const QString& path)
{
    const int row = currentTrackRow();
    if (row < 0)
        return;
    QSqlTableModel& tracks = *c_.state.dtaTracks;
    tracks.setData(tracks.index(row, fieldColumn(tracks, QStringLiteral("Notation"))), path);
}

void CdFields::tgTracks_MouseUp(const QPoint& where)
{
    TraceScope trace(module, "Sub tgTracks_MouseUp");
    ignoringErrors([&] { setMnuTrackGripPopupState(); });
    ignoringErrors([&] { c_.mnuTrackGridPopup.popup(where); });
}

void CdFields::setMnuTrackGripPopupState()
{
    TraceScope trace(module, "Sub setMnuTrackGripPopupState");
    trace.run([&] {
        QString path = notation();
        c_.mnuChangeNotationFile.setEnabled(!path.isEmpty());
        c_.mnuOpenNotationFile.setText(
            path.isEmpty()
                ? QStringLiteral("Open notation/sequencer file")
                : QStringLiteral("Open ") + path.replace(QLatin1Char('&'), QStringLiteral("&&")));
    });
}

void CdFields::mnuTrackGridPopup_Click()
{
    TraceScope trace(module, "Sub mnuTrackGridPopup_Click");
    trace.run([&] { c_.mnuDigitalRec.setEnabled(programState().gvRecordMode == 1); });
}

void CdFields::mnuOpenNotationFile_Click()
{
    TraceScope trace(module, "Sub mnuOpenNotationFile_Click");
    try {
        QString path = notation();
        // A linked file that was moved or deleted: another may take its place.
        if (!path.isEmpty() && !QFileInfo(path).isFile()) {
            if (!forms::confirm(QStringLiteral("The notation file ") + path
                                + QStringLiteral(" is not there: it may have been moved or "
                                                 "deleted.\r\n\r\nDo you want to link another "
                                                 "file to this track?")))
                return;
            path.clear();
        }
        if (path.isEmpty())
            path = forms::prompts().fileDialog(c_.cdNotationFile).value_or(QString());
        if (path.isEmpty())
            return;
        openNotationFile(path);
        setNotation(path);
    } catch (...) {
        showOwnErrorBox(RuntimeError::fromCurrentException(), "mnuOpenNotationFile_Click");
    }
}

void CdFields::mnuChangeNotationFile_Click()
{
    TraceScope trace(module, "Sub mnuChangeNotationFile_Click");
    trace.run([&] {
        // The link changes only once another file is chosen.
        const QString path = forms::prompts().fileDialog(c_.cdNotationFile).value_or(QString());
        if (path.isEmpty())
            return;
        openNotationFile(path);
        setNotation(path);
    });
}

void CdFields::mnuViewHelpTracksGrid_Click()
{
    TraceScope trace(module, "Sub mnuViewHelpTracksGrid_Click");
    trace.run([&] {
        forms::MsgBox(QStringLiteral(
            "Shows the track names for this CD.\n\nDouble-clicking in the left column starts "
            "playback at that track.\n\nTo type in a track name, simply select the track and "
            "start typing. The name will be saved when you click on a different cell or "
            "field.\n"));
    });
}

} // namespace lentaro
