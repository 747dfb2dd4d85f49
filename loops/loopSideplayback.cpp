// Loop playback: the current loop's in and out points (the trim window's while it is open), playing them once on the current device
// (its end noticed, so that a repeating loop plays again), and playing on from a loop.
#include "loops/loopSide.h"

#include "loops/frmTrim.h"

#include "app/programstate.h"
#include "app/recordwhileplaying.h"
#include "mainwindow/gridediting.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QLabel>
#include <QSlider>
#include <QSqlField>
#include <QSqlRecord>
#include <QTableView>

#include <algorithm>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

// A loop stored without an end lasts this long, or to the end of the media.
constexpr int defaultLoopLengthMs = 5000;
// A refused play is tried again this many times, the end this much earlier each time.
constexpr int playRetries = 15;
constexpr int retryStepMs = 100000;
constexpr int positionUpdateMs = 500;

const QString endpointsWrong =
    QStringLiteral("Sorry, there's a loop problem. Endpoints are wrong.");
const QString noLoopPoints = QStringLiteral(
    "There are no loop points created. Please make at least one loop point before continuing");

} // namespace

void LoopSideOfMain::rowLimits(int& start, int& end)
{
    const QVariant st = rows_.field(QStringLiteral("startTime"));
    // Of loops sharing a start, the first is the one played.
    rows_.findFirst(QStringLiteral("startTime"), st);
    const int row = rows_.currentRow();
    if (rows_.field(QStringLiteral("endTime")).isNull()) {
        int newEnd = 0;
        if (row + 1 < rows_.count()) {
            newEnd = rows_.model()->record(row + 1).value(QStringLiteral("startTime")).toInt();
        } else {
            host_->ms();
            newEnd =
                std::min(c_.state.currentMMControl()->length(), st.toInt() + defaultLoopLengthMs);
        }
        QSqlRecord filled;
        filled.append(QSqlField(QStringLiteral("endTime"), QMetaType(QMetaType::Int)));
        filled.setValue(0, newEnd);
        rows_.editCurrent(filled);
    }
    start = st.toInt();
    end = rows_.field(QStringLiteral("endTime")).toInt();
}

bool LoopSideOfMain::calcInAndOutPoints(int& in1, int& out1)
{
    TraceScope trace(module, "Function calcInAndOutPoints");
    return trace.run(true, [&] {
        int start = 0;
        int end = 0;
        if (trimOpen()) {
            start = trim_->slStart[0]->value();
            end = trim_->slStart[1]->value();
        } else if (rows_.currentRow() == LoopRows::noRow) {
            forms::MsgBox(noLoopPoints);
            return true;
        } else {
            rowLimits(start, end);
        }
        // An end at the start is a loop too; an end before it is not.
        if (end < start) {
            forms::MsgBox(endpointsWrong);
            return true;
        }
        in1 = start;
        out1 = end;
        return false;
    });
}

bool LoopSideOfMain::pointsAreUsable(int in, int out)
{
    if (out < in) {
        forms::MsgBox(endpointsWrong);
        return false;
    }
    // Its end would come at once and start it again, over and over.
    return out > in;
}

void LoopSideOfMain::playLoop(bool recalc, std::optional<int> myInPt, std::optional<int> myOutPt)
{
    TraceScope trace(module, "Sub playLoop", {{"recalcInAndOutPoints", recalc}});
    trace.run([&] {
        ProgramState& program = programState();
        MainState& state = c_.state;
        program.gvLoopHighlight = false;
        int in = state.inPt;
        int out = state.outPt;
        if (recalc && calcInAndOutPoints(in, out)) {
            program.gvPlayState.setState(false);
            return;
        }
        in = myInPt.value_or(in);
        out = myOutPt.value_or(out);
        if (!pointsAreUsable(in, out)) {
            program.gvPlayState.setState(false);
            return;
        }
        state.inPt = in;
        state.outPt = out;
        host_->ms();
        if (program.gvRecordingInProgress)
            playWhileRecording();
        else
            playOnce();
    });
}

void LoopSideOfMain::playOnce()
{
    const ProgramState& program = programState();
    const MainState& state = c_.state;
    mci::MMControl& device = *state.currentMMControl();
    device.setFrom(state.inPt);
    device.setTo(state.outPt);
    device.setNotify(true);
    device.setWait(false);
    device.setCommand(QStringLiteral("Play"));
    // The slowed-down file's player keeps its own pace.
    if (!program.gvSlowMode)
        device.setUpdateInterval(positionUpdateMs);
    if (device.error() >= 1)
        retryShorter();
}

void LoopSideOfMain::retryShorter()
{
    MainState& state = c_.state;
    mci::MMControl& device = *state.currentMMControl();
    const int oldOut = state.outPt;
    // An end past the media is tried at the media's end first, then earlier and earlier, but
    // never at or before the start.
    const int length = device.length();
    for (int tries = 0; tries < playRetries; ++tries) {
        const int shorter = tries == 0 && length > state.inPt && length < state.outPt
                                ? length
                                : state.outPt - retryStepMs;
        if (shorter <= state.inPt)
            break;
        state.outPt = shorter;
        device.setFrom(state.inPt);
        device.setTo(state.outPt);
        device.setNotify(true);
        device.setWait(false);
        device.setCommand(QStringLiteral("Play"));
        if (device.error() == 0)
            return;
    }
    state.outPt = oldOut;
    programState().gvPlayState.setState(false);
    c_.pnlMsg.setText(QStringLiteral("The loop could not be played."));
}

void LoopSideOfMain::playWhileRecording()
{
    const MainState& state = c_.state;
    mci::MMControl& device = *state.currentMMControl();
    recordWhilePlaying(device, c_.WaveControl, state.inPt, state.outPt);
    device.setUpdateInterval(positionUpdateMs);
}

void LoopSideOfMain::playFromLoopOn()
{
    TraceScope trace(module, "Sub playFromLoopOn");
    trace.run([&] {
        if (rows_.currentRow() == LoopRows::noRow) {
            forms::MsgBox(noLoopPoints);
            return;
        }
        host_->ms();
        mci::MMControl& device = *c_.state.currentMMControl();
        device.setWait(true);
        device.setCommand(QStringLiteral("Stop"));
        device.setFrom(rows_.field(QStringLiteral("startTime")).toInt());
        // An end set for an earlier play (the trim window's) would otherwise still hold.
        device.setTo(device.length());
        device.setWait(false);
        device.setCommand(QStringLiteral("Play"));
        device.setUpdateInterval(positionUpdateMs);
        endEditing(c_.loopPoints);
        programState().gvLoopHighlight = true;
    });
}

} // namespace lentaro
