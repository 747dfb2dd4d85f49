// Wave files: choosing one (never a working file of the slow-down road), opening it in the wave
// device, and its "Wave Files" row with at least its whole-file loop.
#include "mainwindow/frmMain.h"

#include "app/filecopy.h"
#include "app/programstate.h"
#include "app/storagetrouble.h"
#include "app/timetexts.h"
#include "app/utilities.h"
#include "app/workingfiles.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>
#include <QVariant>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
bool namesFile(const QString& path, const char* name)
{
    return path.contains(QLatin1String(name), Qt::CaseInsensitive);
}

[[noreturn]] void failed(const QSqlError& error)
{
    throw RuntimeError(errorNumbers::databaseCallFailed, error.text());
}

// A length to the millisecond: "01:05.250".
QString preciseLength(std::int64_t ms)
{
    return mmss(ms) + QStringLiteral(".%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

// What to tell of a wave file that holds less sound than its header gives (a copy or a download
// that ended early); empty for a whole file.
QString cutShortNote(const QString& path)
{
    const auto file = kv::SoundStream::openRead(QFile::encodeName(path).toStdString());
    if (!file || file->lastError() != kv::kOk || file->statedLength() <= file->length())
        return QString();
    const double samplesPerMs = file->sampleRate() * file->channels() / 1000.0;
    const auto ms = [&](std::int64_t samples) {
        return static_cast<std::int64_t>(static_cast<double>(samples) / samplesPerMs);
    };
    return QStringLiteral("%1 is cut short: it holds %2 of the %3 of sound its header gives. "
                          "Lentaro plays the part that is there.")
        .arg(path, preciseLength(ms(file->length())), preciseLength(ms(file->statedLength())));
}

void insertWholeFileLoop(QSqlDatabase& db, int waveFileID, int lengthMs)
{
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO WaveLoopPoints (waveFileID, startTime, endTime, "
                                  "Comment) VALUES (?, 1, ?, 'Entire file in this loop')"));
    insert.addBindValue(waveFileID);
    insert.addBindValue(lengthMs);
    if (!insert.exec())
        failed(insert.lastError());
}

} // namespace

void frmMain::mnuFileOpen_Click()
{
    TraceScope trace(module, "Sub mnuFileOpen_Click");
    trace.run([&] {
        state_.currentMMControl()->setCommand(QStringLiteral("Stop"));
        dlgWave.kind = forms::FileDialogRequest::Kind::Open;
        dlgWave.fileName = forms::prompts().fileDialog(dlgWave).value_or(QString());
        QString fileName = dlgWave.fileName;
        if (fileName.isEmpty())
            return;
        if (namesFile(fileName, "temp.wav")) {
            refuseWorkingName();
            return;
        }
        if (namesFile(fileName, "tempslow.wav")) {
            if (!forms::confirm(QStringLiteral(
                    "You cannot use tempslow.wav for this function - that file name is used "
                    "exclusively by Lentaro. Would you like to make a copy of it and slow down "
                    "that?")))
                return;
            forms::FileDialogRequest copyAs = dlgWave;
            copyAs.kind = forms::FileDialogRequest::Kind::Save;
            copyAs.caption = QStringLiteral("Choose filename for copy of tempslow.wav");
            copyAs.fileName.clear();
            const QString copy = forms::prompts().fileDialog(copyAs).value_or(QString());
            if (copy.isEmpty())
                return;
            // A copy under a working name would be overwritten, or overwrite the original.
            if (namesWorkingFile(copy)) {
                refuseWorkingName();
                return;
            }
            replaceWithCopy(tempSlowWav(), copy);
            dlgWave.fileName = copy;
            fileName = copy;
        }
        dlgWave.folder = extractPathFromFullPath(fileName);
        if (!playWaveFile(fileName))
            return;
        addToMRUs(fileName);
        changeToMode(QStringLiteral("Wave"), false);
    });
}

bool frmMain::playWaveFile(const QString& fn)
{
    TraceScope trace(module, "Function playWaveFile", {{"fn", fn}});
    return trace.run(false, [&] {
        const QString before = WaveControl->mode() == static_cast<int>(mci::Mode::NotOpen)
                                   ? QString()
                                   : WaveControl->fileName();
        if (!openInWaveDevice(fn)) {
            forms::MsgBox(WaveControl->errorMessage());
            // What was open stays open and playable; the window goes on showing it.
            if (before.isEmpty() || !openInWaveDevice(before)) {
                WaveControl->setWait(true);
                WaveControl->setCommand(QStringLiteral("Close"));
                WaveControl->setFileName(QString());
                // The Wave view has nothing left to show: the CD view shows no wave file.
                if (!state_.cdView && !programState().gvSlowMode)
                    changeToMode(QStringLiteral("CD"));
            }
            return false;
        }
        if (const QString note = cutShortNote(fn); !note.isEmpty())
            forms::MsgBox(note, forms::Buttons::OkOnly, forms::Icon::Exclamation);
        pnlTrackLength->setText(QStringLiteral("Wave File Length ") + mmss(waveLengthMs()));
        return true;
    });
}

bool frmMain::openInWaveDevice(const QString& fn)
{
    WaveControl->setWait(true);
    WaveControl->setCommand(QStringLiteral("Close"));
    WaveControl->setFileName(fn);
    WaveControl->setWait(false);
    WaveControl->setCommand(QStringLiteral("Open"));
    return WaveControl->error() < 1;
}

int frmMain::waveLengthMs()
{
    WaveControl->setTimeFormat(0);
    return WaveControl->length();
}

bool frmMain::doWaveDBThing()
{
    TraceScope trace(module, "Function doWaveDBThing");
    return trace.run(false, [&] {
        // The wave device has shown why it could not open the file; no row for it.
        if (WaveControl->mode() == static_cast<int>(mci::Mode::NotOpen))
            return false;
        const QString fileName = WaveControl->fileName();
        const int length = waveLengthMs();
        const QFileInfo file(fileName);
        if (WaveControl->error() >= 1 || !file.isFile()) {
            forms::MsgBox(QStringLiteral("File not found"));
            return false;
        }
        const int found = selectWave(fileName, length, file.lastModified());
        if (found == waveSearchFailed)
            return false;
        if (found == -1)
            return addWave();
        refreshDisplayForNewWave();
        return true;
    });
}

int frmMain::selectWave(const QString& FileName, int fileLength, const QDateTime& fileDate)
{
    TraceScope trace(module, "Function selectWave",
                     {{"FileName", FileName},
                      {"fileLength", fileLength},
                      {"fileDate", fileDate.toString(Qt::ISODate)}});
    return trace.run(waveSearchFailed, [&] {
        const forms::ScopedScreenPointer busy(Qt::WaitCursor);
        QString folder;
        QString name;
        parsePath(FileName, folder, name);
        // Length and date take no part: a file changed since its row was made is the same file.
        QSqlQuery find(state_.database());
        find.prepare(QStringLiteral("SELECT waveFileID FROM \"Wave Files\" WHERE waveFileName = ? "
                                    "AND waveFilePath = ? ORDER BY waveFileID LIMIT 1"));
        find.addBindValue(name);
        find.addBindValue(folder);
        if (!find.exec())
            failed(find.lastError());
        if (!find.next())
            return -1;
        state_.currentWaveFileID = find.value(0).toInt();
        return 0;
    });
}

bool frmMain::addWave()
{
    TraceScope trace(module, "Function addWave");
    return trace.run(false, [&] { return addWaveDB(); });
}

bool frmMain::addWaveDB()
{
    TraceScope trace(module, "Function addWaveDB");
    return trace.run(false, [&] {
        const QString fileName = WaveControl->fileName();
        QString folder;
        QString name;
        parsePath(fileName, folder, name);
        const int length = waveLengthMs();
        QSqlDatabase db = state_.database();
        // The row and its whole-file loop go in together or not at all.
        if (!db.transaction())
            failed(db.lastError());
        try {
            QSqlQuery insert(db);
            insert.prepare(QStringLiteral(
                "INSERT INTO \"Wave Files\" (waveFilePath, waveFileName, waveDataLength, "
                "waveFileModDate) VALUES (?, ?, ?, ?)"));
            insert.addBindValue(folder);
            insert.addBindValue(name);
            insert.addBindValue(length);
            insert.addBindValue(QFileInfo(fileName).lastModified().toString(Qt::ISODate));
            if (!insert.exec())
                failed(insert.lastError());
            const int waveFileID = insert.lastInsertId().toInt();
            insertWholeFileLoop(db, waveFileID, length);
            if (!db.commit())
                failed(db.lastError());
            state_.currentWaveFileID = waveFileID;
        } catch (const RuntimeError&) {
            db.rollback();
            if (const QString trouble = storageTrouble(); !trouble.isEmpty()) {
                forms::MsgBox(QStringLiteral("%1 was not opened: its row in the database could "
                                             "not be stored, because %2.")
                                  .arg(fileName, trouble),
                              forms::Buttons::OkOnly, forms::Icon::Exclamation);
                return false;
            }
            throw;
        } catch (...) {
            db.rollback();
            throw;
        }
        state_.WAVs->select();
        refreshDisplayForNewWave();
        return true;
    });
}

void frmMain::addWaveLoop()
{
    TraceScope trace(module, "Sub addWaveLoop");
    trace.run([&] {
        const int waveFileID = state_.currentWaveFileID;
        QString reason;
        if (!state_.bindWaveLoops(waveFileID, reason))
            throw RuntimeError(errorNumbers::databaseCallFailed, reason);
        QSqlDatabase db = state_.database();
        insertWholeFileLoop(db, waveFileID, waveLengthMs());
        state_.dtaLoopPoints->select();
    });
}

void frmMain::refreshDisplayForNewWave()
{
    TraceScope trace(module, "Sub refreshDisplayForNewWave");
    trace.run([&] {
        const int waveFileID = state_.currentWaveFileID;
        if (waveFileID == 0)
            return;
        if (state_.boundWaveFileID() == waveFileID) {
            state_.dtaLoopPoints->select();
        } else {
            QString reason;
            if (!state_.bindWaveLoops(waveFileID, reason))
                return;
        }
        if (state_.dtaLoopPoints->rowCount() == 0)
            addWaveLoop();
        setWindowTitle(QStringLiteral("Lentaro: ") + WaveControl->fileName());
        tmsf();
        pnlCDlength->setText(QStringLiteral("CD Length: ") + mmss(waveLengthMs()));
    });
}

} // namespace lentaro
