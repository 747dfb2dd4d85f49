#include "cd/trackrecording.h"

#include "app/messages.h"
#include "app/pause.h"
#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "app/workingfiles.h"
#include "cd/cdsidehost.h"
#include "cd/datatracks.h"
#include "cd/recordreaderevents.h"
#include "mainwindow/fieldcolumn.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/cd/DigitalReader.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QSqlTableModel>
#include <QTableView>

#include <cmath>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
// From this refused read on, every refusal suggests analog recording.
constexpr int refusalsBeforeAdvice = 5;

struct GridTrack {
    int number = 0;
    QString name;
    // "N" or "N, name": how the dialog title and the progress text name it.
    QString label() const
    {
        return name.isEmpty() ? QString::number(number)
                              : QString::number(number) + QStringLiteral(", ") + name;
    }
};

GridTrack currentGridTrack(const CdSideControls& c)
{
    const QSqlTableModel& tracks = *c.state.dtaTracks;
    const int row = c.tgTracks.currentIndex().row();
    const auto field = [&](const char* name) {
        return tracks.data(tracks.index(row, fieldColumn(tracks, QLatin1String(name))));
    };
    return {field("TrackNum").toInt(), field("TrackName").toString()};
}

} // namespace

QString copyTrackQuestion(const QString& trackName, int lengthMs)
{
    const float minutes = float(lengthMs) / 60000.0f;
    // The minutes shown round halves away from zero, the megabytes halves to even.
    const double shownMinutes = std::round(double(minutes) * 10.0) / 10.0;
    const long megabytes = std::lrint(10.0f * minutes);
    return QStringLiteral("This will record the track \"") + trackName
           + QStringLiteral("\" to your hard disk. In order for this operation to succeed, your "
                            "CD-ROM drive must support digital recording and you must have "
                            "sufficient disk space (10 MB per minute of stereo sound).\r\n\r\n"
                            "This track's length is ")
           + QString::number(shownMinutes, 'f', 1)
           + QStringLiteral(" minutes.\r\n\r\nIt requires approximately ")
           + QString::number(megabytes) + QStringLiteral(" MB of disk space. \r\n\r\nProceed?");
}

TrackRecording::TrackRecording(const CdSideControls& controls, CdSideHost& host,
                               cd::DigitalReader& ACD1, RecordReaderEvents& events)
    : c_(controls), host_(host), ACD1_(ACD1), events_(events)
{
    dlgRecordTrack.kind = forms::FileDialogRequest::Kind::Save;
    dlgRecordTrack.filter = QStringLiteral("Wave files (*.wav);;All files (*)");
    dlgRecordTrack.defaultSuffix = QStringLiteral("wav");
}

void TrackRecording::mnuDigitalRec_Click()
{
    TraceScope trace(module, "Sub mnuDigitalRec_Click");
    trace.run([&] {
        if (!programState().gvDigitalRecordingOK) {
            forms::MsgBox(
                QStringLiteral("At this time, digital recording only works under Windows 9x. "
                               "Sorry"));
            return;
        }
        bool readRuns = false;
        // Whichever way the command ends, short of a read that runs on, the window is as it
        // was: the read's end sees to that otherwise.
        struct CleanUp {
            TrackRecording& copy;
            const bool& readRuns;
            ~CleanUp()
            {
                if (readRuns)
                    return;
                ignoringErrors([] { Message2(QStringLiteral("off")); });
                forms::setScreenMousePointer(Qt::ArrowCursor);
                enableMainWindow(true);
                ignoringErrors([this] { copy.reopenCdDevice(); });
            }
        } const cleanUp{*this, readRuns};
        for (int refusals = 0;;) {
            switch (attempt()) {
            case Attempt::accepted:
                readRuns = true;
                events_.whenReadEnds([this] {
                    forms::setScreenMousePointer(Qt::ArrowCursor);
                    reopenCdDevice();
                });
                return;
            case Attempt::ended:
                return;
            case Attempt::refused:
                break;
            }
            if (++refusals >= refusalsBeforeAdvice)
                forms::MsgBox(
                    QStringLiteral("Unable to read CD audio digitally. Try changing Record Mode "
                                   "(in Settings Menu) to Analog."));
            mci::MMControl& current = *c_.state.currentMMControl();
            current.setWait(false);
            current.setCommand(QStringLiteral("Play"));
            Pause(0.5f);
        }
    });
}

TrackRecording::Attempt TrackRecording::attempt()
{
    mci::MMControl& cdControl = c_.CDControl;
    cdControl.setCommand(QStringLiteral("Stop"));
    cdControl.setWait(true);
    cdControl.setCommand(QStringLiteral("Close"));
    if (ACD1_.initialise() > 0) {
        forms::MsgBox(QStringLiteral("Error initializing"));
        return Attempt::ended;
    }
    if (ACD1_.openDrive(programState().gvDigCDNum) > 0) {
        forms::MsgBox(QStringLiteral("Error opening drive"));
        return Attempt::ended;
    }
    const GridTrack track = currentGridTrack(c_);
    if (dataTracksOf(cdControl).count(track.number) != 0) {
        forms::MsgBox(dataTrackRefusal(track.number));
        return Attempt::ended;
    }
    host_.tmsf();
    if (!forms::confirm(copyTrackQuestion(track.name, ACD1_.trackLengthMs(track.number))))
        return Attempt::ended;
    dlgRecordTrack.caption = QStringLiteral("Choose file for a copy of track ") + track.label();
    dlgRecordTrack.fileName =
        track.name.isEmpty() ? QString() : track.name + QStringLiteral(".wav");
    const QString destination = forms::prompts().fileDialog(dlgRecordTrack).value_or(QString());
    if (destination.isEmpty())
        return Attempt::ended;
    if (namesWorkingFile(destination)) {
        refuseWorkingName();
        return Attempt::ended;
    }
    dlgRecordTrack.fileName = destination;
    forms::setScreenMousePointer(Qt::WaitCursor);
    enableMainWindow(false);
    Message2(QStringLiteral("Saving track ") + track.label() + QStringLiteral(" to disk"),
             QStringLiteral("ACD"));
    return ACD1_.readTrack(track.number, destination) < 1 ? Attempt::accepted : Attempt::refused;
}

void TrackRecording::reopenCdDevice()
{
    mci::MMControl& cdControl = c_.CDControl;
    cdControl.setWait(true);
    cdControl.setCommand(QStringLiteral("Open"));
}

} // namespace lentaro
