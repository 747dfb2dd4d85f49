// Making loops: live from the play position (marks kept in loopPointBuffer until the loop
// maker stores them) or one for a whole CD track.
#include "loops/loopSide.h"

#include "app/pause.h"
#include "app/preferencetext.h"
#include "app/programstate.h"
#include "app/timetexts.h"
#include "loops/makeLoopPoints.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "mainwindow/tmstext.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QLabel>
#include <QLineEdit>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

// A CD reports positions of 100 ms and less while it is still starting.
constexpr int cdStartedAfterMs = 100;

} // namespace

void LoopSideOfMain::insertLoopPt(const QString& startTimeMs, const QString& startTimeTTMMSS,
                                  const QVariant& endtimeMs)
{
    TraceScope trace(module, "Sub insertLoopPt",
                     {{"startTimeMs", startTimeMs},
                      {"startTimeTTMMSS", startTimeTTMMSS},
                      {"endtimeMs", endtimeMs.toString()}});
    trace.run([&] { rows_.add({loopRecord(startTimeMs, startTimeTTMMSS, endtimeMs)}); });
}

QSqlRecord LoopSideOfMain::loopRecord(const QString& startTimeMs, const QString& startTimeTTMMSS,
                                      const QVariant& endtimeMs) const
{
    QSqlRecord row = rows_.newRow();
    if (c_.state.cdView) {
        row.setValue(QStringLiteral("CDid"), c_.state.currentCDid);
        // The track is the leading number of the position text tt:mm:ss.
        row.setValue(QStringLiteral("TrackNum"),
                     static_cast<int>(startingNumber(startTimeTTMMSS.left(2))));
    } else {
        row.setValue(QStringLiteral("waveFileID"), c_.state.currentWaveFileID);
    }
    row.setValue(QStringLiteral("startTime"), startTimeMs.toInt());
    row.setValue(QStringLiteral("Comment"), startTimeTTMMSS);
    row.setValue(QStringLiteral("endTime"), endtimeMs);
    return row;
}

bool LoopSideOfMain::insertNewLoopPoint()
{
    TraceScope trace(module, "Function insertNewLoopPoint");
    return trace.run(false, [&] {
        host_->ms();
        mci::MMControl* device = c_.state.currentMMControl();
        if (!host_->playing()) {
            device->setWait(false);
            device->setCommand(QStringLiteral("Play"));
        }
        QString text;
        QString label;
        if (device == &c_.CDControl) {
            // The position read before the last pause is the one kept, with its own text. Each
            // read asks for its format: the pause lets position reports in, which change it.
            const auto giveUp = clock_() + cdStartBound;
            do {
                if (clock_() >= giveUp) {
                    c_.pnlMsg.setText(
                        QStringLiteral("The CD did not start playing, so no loop point was made."));
                    return false;
                }
                host_->ms();
                text = QString::number(device->position());
                host_->tmsf();
                label = tmsText(device->position());
                Pause(0.2F);
            } while (text.toInt() <= cdStartedAfterMs);
            host_->ms();
        } else {
            const int position = device->position();
            text = QString::number(position);
            label = mmss(position);
        }
        fastInsert(text, label);
        programState().gvPlayState.setState(false);
        return true;
    });
}

void LoopSideOfMain::fastInsert(const QString& aTime, const QString& startTimeTTMMSS)
{
    TraceScope trace(module, "Sub fastInsert",
                     {{"aTime", aTime}, {"startTimeTTMMSS", startTimeTTMMSS}});
    trace.run([&] {
        const QString key = QStringLiteral("%1").arg(aTime.toLongLong(), 7, 10, QLatin1Char('0'));
        c_.state.loopPointBuffer.Add(key, key, startTimeTTMMSS, QString());
    });
}

void LoopSideOfMain::cmdStartNewLoop_Click()
{
    TraceScope trace(module, "Sub cmdStartNewLoop_Click");
    trace.run([&] {
        if (!insertNewLoopPoint())
            return;
        // A mark made while the maker is open is one more line of its lists.
        if (maker_)
            return;
        maker_ = new makeLoopPoints(*this, c_.window, c_.state);
        maker_->open();
    });
}

void LoopSideOfMain::cmdStartNewLoop_MouseUp()
{
    TraceScope trace(module, "Sub cmdStartNewLoop_MouseUp");
    trace.run([&] {
        forms::MsgBox(QStringLiteral(
            "Creates a new loop point. Only works while a CD or Wave file is playing."));
    });
}

void LoopSideOfMain::mnuMakeLoop_Click()
{
    TraceScope trace(module, "Sub mnuMakeLoop_Click");
    trace.run([&] {
        ignoringErrors([&] {
            host_->ms();
            const QTableView& tracks = c_.tgTracks;
            const auto* model = qobject_cast<const QSqlTableModel*>(tracks.model());
            if (!model)
                return;
            const int current = tracks.currentIndex().isValid() ? tracks.currentIndex().row() : 0;
            const QSqlRecord track = model->record(current);
            mci::MMControl& cd = c_.CDControl;
            cd.setTrack(track.value(QStringLiteral("TrackNum")).toInt());
            const qint64 start = cd.trackPosition();
            const qint64 end = start + cd.trackLength();
            if (cd.error() > 0 || end > std::numeric_limits<std::int32_t>::max())
                return;
            QSqlRecord row = rows_.newRow();
            row.setValue(QStringLiteral("CDid"), track.value(QStringLiteral("CDid")));
            row.setValue(QStringLiteral("startTime"), start);
            row.setValue(QStringLiteral("endTime"), end);
            row.setValue(QStringLiteral("TrackNum"), track.value(QStringLiteral("TrackNum")));
            row.setValue(QStringLiteral("Comment"),
                         track.value(QStringLiteral("TrackName")).toString()
                             + QStringLiteral(" - Entire Track"));
            rows_.add({row});
        });
        ignoringErrors([&] { c_.loopPoints.viewport()->update(); });
    });
}

} // namespace lentaro
