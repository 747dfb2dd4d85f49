// The trim window: the loop's limits on two sliders, heard at once, stored on request.
#include "loops/frmTrim.h"

#include "app/programstate.h"
#include "app/timetexts.h"
#include "app/windowhelpers.h"
#include "loops/loopRows.h"
#include "loops/sliderLock.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSlider>
#include <QSqlField>
#include <QSqlRecord>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace lentaro {

namespace {

constexpr char module[] = "frmTrim";

const QString endpointsWrong =
    QStringLiteral("Sorry, there's a loop problem. Endpoints are wrong.");

QPushButton* button(QWidget& form, const char* caption, const char* tip)
{
    auto* made = new QPushButton(QString::fromUtf8(caption), &form);
    made->setToolTip(QString::fromUtf8(tip));
    return made;
}

} // namespace

frmTrim::frmTrim(const LoopSideControls& controls, LoopRows& rows, PlayLoop play,
                 RowLimits rowLimits)
    : QWidget(&controls.window),
      c_(controls),
      rows_(rows),
      play_(std::move(play)),
      rowLimits_(std::move(rowLimits))
{
    setObjectName(QStringLiteral("frmTrim"));
    setWindowTitle(QStringLiteral("Trim Start and End Points"));
    new QGridLayout(this);
    const char* names[] = {"Start Point", "End Point"};
    const char* tips[] = {"Adjust start point of loop.", "Adjust end point of loop."};
    for (int i = 0; i < 2; ++i) {
        lblPoint[i] = new QLabel(QString::fromUtf8(names[i]), this);
        slStart[i] = new QSlider(Qt::Horizontal, this);
        slStart[i]->setToolTip(QString::fromUtf8(tips[i]));
        // A drag follows the thumb; only where it is let go plays.
        slStart[i]->setTracking(false);
        lblTime[i] = new QLabel(this);
        lblTime[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(slStart[i], &QSlider::valueChanged, this, [this, i] { slStart_Change(i); });
        connect(slStart[i], &QSlider::sliderPressed, this, &frmTrim::slStart_MouseDown);
        connect(slStart[i], &QSlider::sliderReleased, this, [this, i] { slStart_MouseUp(i); });
        connect(slStart[i], &QSlider::valueChanged, this, [this, i](int ms) { showTime(i, ms); });
        connect(slStart[i], &QSlider::sliderMoved, this, [this, i](int ms) { showTime(i, ms); });
        connect(slStart[i], &QSlider::rangeChanged, this,
                [this, i] { showTime(i, slStart[i]->sliderPosition()); });
    }
    cmdNext[0] = nullptr;
    cmdNext[1] = button(*this, "Prev", "Click to hear section to the left.");
    cmdNext[2] = button(*this, "Next", "Click to hear section to the right.");
    cmdZoom = button(*this, "Zoom Out",
                     "Gives 5 seconds more margin at the left and right sides of each slider to "
                     "allow you to make larger endpoint adjustments. Doesn't actually change the "
                     "start and endpoints.");
    cmdSave = button(*this, "Save",
                     "Saves the current trimmed start and end points as the permanent loop start "
                     "and end points");
    cmdClose = button(*this, "Close", "Exit Trim Box without saving changes.");
    cmdHelp = button(*this, "Help", "");
    connect(cmdNext[1], &QPushButton::clicked, this, [this] { cmdNext_Click(1); });
    connect(cmdNext[2], &QPushButton::clicked, this, [this] { cmdNext_Click(2); });
    connect(cmdZoom, &QPushButton::clicked, this, &frmTrim::cmdZoom_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmTrim::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, [this] {
        Form_QueryUnload();
        hide();
        deleteLater();
    });
    connect(cmdHelp, &QPushButton::clicked, this, &frmTrim::cmdHelp_Click);
    setAutoFillBackground(true);
    // A bar of buttons only: its Play and Stop act on the main window's device.
    MMControl1 = new mci::MMControl(this);
    MMControl1->useButtonsOnly({mci::Button::Play, mci::Button::Stop});
    connect(MMControl1, &mci::MMControl::playClick, this,
            [this](bool&) { MMControl1_PlayClick(); });
    connect(MMControl1, &mci::MMControl::stopClick, this,
            [this](bool&) { MMControl1_StopClick(); });
    connect(tmrSliderFreedom, &QTimer::timeout, this, &frmTrim::tmrSliderFreedom_Timer);
    tmrPreviewEnd = new QTimer(this);
    tmrPreviewEnd->setSingleShot(true);
    tmrPreviewEnd->setInterval(previewPauseMs);
    connect(tmrPreviewEnd, &QTimer::timeout, this, &frmTrim::previewEnd);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    // Each layout of the loop grid sets its place: the window moves with it.
    loopGrid_ = &c_.loopPoints;
    loopGrid_->installEventFilter(this);
    place();
    cmdSave->setEnabled(!programState().gvSlowMode);
}

void frmTrim::arrange(bool narrow)
{
    auto* grid = static_cast<QGridLayout*>(layout());
    struct Cell {
        QWidget* widget;
        int row;
        int column;
        int columnSpan;
    };
    std::vector<Cell> cells;
    QPushButton* buttons[] = {cmdNext[1], cmdNext[2], cmdZoom, cmdSave, cmdClose, cmdHelp};
    int columns = 0;
    if (narrow) {
        // Three columns: each point's name and time over its slider, the buttons in two rows.
        columns = 3;
        for (int i = 0; i < 2; ++i) {
            cells.push_back({lblPoint[i], 2 * i, 0, 2});
            cells.push_back({lblTime[i], 2 * i, 2, 1});
            cells.push_back({slStart[i], 2 * i + 1, 0, 3});
        }
        for (int b = 0; b < 6; ++b)
            cells.push_back({buttons[b], 4 + b / 3, b % 3, 1});
        cells.push_back({MMControl1, 6, 0, 3});
    } else {
        // One line a point, then the buttons and the transport bar on one line.
        columns = 8;
        for (int i = 0; i < 2; ++i) {
            cells.push_back({lblPoint[i], i, 0, 1});
            cells.push_back({slStart[i], i, 1, 6});
            cells.push_back({lblTime[i], i, 7, 1});
        }
        for (int b = 0; b < 6; ++b)
            cells.push_back({buttons[b], 2, b, 1});
        cells.push_back({MMControl1, 2, 6, 2});
    }
    for (const Cell& cell : cells)
        grid->removeWidget(cell.widget);
    for (const Cell& cell : cells)
        grid->addWidget(cell.widget, cell.row, cell.column, 1, cell.columnSpan);
    for (int column = 0; column < 8; ++column)
        grid->setColumnStretch(column, column < columns ? 1 : 0);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(4);
    grid->invalidate();
}

void frmTrim::place()
{
    // Beside the tracks grid (the CD view's Normal layout) the window takes the tracks grid's
    // place; across it (every other layout) the window goes under the loop grid. Either way no
    // loop row is hidden.
    const QWidget& tracks = c_.tgTracks;
    const QWidget& loops = c_.loopPoints;
    const bool overTracks = !tracks.geometry().intersects(loops.geometry());
    const QWidget& beside = overTracks ? tracks : loops;
    const QPoint corner = beside.mapTo(&c_.window, QPoint(0, 0));
    arrange(overTracks);
    const QSize wanted = sizeHint();
    if (overTracks)
        setGeometry(corner.x(), corner.y(), beside.width(), beside.height());
    else
        setGeometry(corner.x(), corner.y() + beside.height() + 4,
                    std::max(wanted.width(), beside.width()), wanted.height());
}

void frmTrim::showTime(int index, int ms)
{
    lblTime[index]->setText(QStringLiteral("%1 ms").arg(ms));
}

int frmTrim::mediaLength() const
{
    // In ms, whatever format the last position report left the device in.
    mci::MMControl& device = *c_.state.currentMMControl();
    device.setTimeFormat(0);
    return device.length();
}

void frmTrim::setRange(int index, int minimum, int maximum)
{
    slStart[index]->setRange(std::max(minimum, 0), std::min(maximum, mediaLength()));
}

void frmTrim::setTrimLimits()
{
    // A failure ends it quietly; the flags are down however it ends.
    const QScopedValueRollback<bool> limits(settingLimits_, true);
    const QScopedValueRollback<bool> sliders(settingSliders_, true);
    try {
        int start = 0;
        int end = 0;
        rowLimits_(start, end);
        const QVariant key = rows_.currentKey();
        int margin = marginMs;
        if (programState().gvSlowMode) {
            start = 1;
            end = mediaLength();
            margin = 0;
        }
        rowKey_ = key;
        for (int i = 0; i < 2; ++i) {
            setRange(i, start - margin, end + margin);
            slStart[i]->setValue(i == 0 ? start : end);
        }
        mci::MMControl& device = *c_.state.currentMMControl();
        device.setFrom(slStart[0]->minimum());
        device.setTo(slStart[0]->maximum());
    } catch (...) {
    }
}

void frmTrim::slStart_Change(int index)
{
    if (settingLimits_ || settingSliders_)
        return;
    try {
        // A newer move replaces the preview still waiting for its pause to end.
        tmrPreviewEnd->stop();
        mci::MMControl& device = *c_.state.currentMMControl();
        device.setTimeFormat(0);
        if (index == 0) {
            device.setFrom(slStart[0]->value());
        } else {
            device.setTo(slStart[1]->value());
            device.setWait(true);
            device.setCommand(QStringLiteral("Stop"));
            if (device.to() - device.from() > previewEndMs && programState().gvPreviewEnd) {
                tmrPreviewEnd->start();
                return;
            }
        }
        device.setWait(true);
        device.setCommand(QStringLiteral("Stop"));
        programState().gvPlayState.setState(true);
        c_.pnlLoopLength.setText(QStringLiteral("Loop Length: ")
                                 + lengthMmss(device.to() - device.from()));
        // Until the start slider moves, the play starts at its minimum.
        play_(device.from(), device.to());
    } catch (...) {
        setEnabled(true);
    }
}

void frmTrim::previewEnd()
{
    try {
        MainState& state = c_.state;
        mci::MMControl& device = *state.currentMMControl();
        const int saved = device.from();
        const int end = slStart[1]->value();
        device.setTimeFormat(0);
        device.setTo(end);
        device.setFrom(std::max(end - previewEndMs, 0));
        programState().gvPlayState.setState(true);
        device.setNotify(true);
        device.setWait(false);
        device.setCommand(QStringLiteral("Play"));
        device.setUpdateInterval(500);
        // Its end repeats the whole trimmed loop.
        state.inPt = slStart[0]->value();
        state.outPt = end;
        device.setFrom(saved);
        device.setTo(end);
    } catch (...) {
        setEnabled(true);
    }
}

void frmTrim::slStart_MouseDown()
{
    TraceScope trace(module, "Sub slStart_MouseDown");
    trace.run([&] {
        mci::MMControl& device = *c_.state.currentMMControl();
        device.setUpdateInterval(0);
        programState().gvPlayState.setState(false);
        device.setWait(true);
        device.setCommand(QStringLiteral("Stop"));
    });
}

void frmTrim::slStart_MouseUp(int index)
{
    TraceScope trace(module, "Sub slStart_MouseUp", {{"Index", index}});
    trace.run([&] {
        lock_.lock(index);
        c_.state.currentMMControl()->setUpdateInterval(500);
    });
}

void frmTrim::tmrSliderFreedom_Timer()
{
    lock_.free();
}

bool frmTrim::eventFilter(QObject* watched, QEvent* event)
{
    // Compared without the main window, which may be going already when its children hide.
    if (watched == loopGrid_) {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
            place();
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_T && key->modifiers() == Qt::AltModifier) {
            // Alt+T is Transform, on release, and not also the button's own mnemonic.
            event->accept();
            if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat())
                c_.cmdSlowPlay.click();
            return true;
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (watched == slStart[i] && lock_.swallows(i, *event))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmTrim::cmdNext_Click(int index)
{
    TraceScope trace(module, "Sub cmdNext_Click", {{"Index", index}});
    trace.run([&] {
        const int span = slStart[1]->value() - slStart[0]->value();
        const int shift = index == 1 ? -std::min(span, slStart[0]->value() - slStart[0]->minimum())
                                     : std::min(span, slStart[1]->maximum() - slStart[1]->value());
        if (shift == 0)
            return;
        {
            const QScopedValueRollback<bool> moving(settingSliders_, true);
            for (QSlider* slider : slStart)
                slider->setValue(slider->value() + shift);
        }
        // One change for the pair, as for a move of the end: the new section, or with the end
        // preview chosen its end, whichever way the step went.
        mci::MMControl& device = *c_.state.currentMMControl();
        device.setTimeFormat(0);
        device.setFrom(slStart[0]->value());
        slStart_Change(1);
    });
}

void frmTrim::cmdZoom_Click()
{
    TraceScope trace(module, "Sub cmdZoom_Click");
    trace.run([&] {
        const QScopedValueRollback<bool> sliders(settingSliders_, true);
        for (QSlider* slider : slStart)
            setRange(slider == slStart[0] ? 0 : 1, slider->minimum() - zoomStepMs,
                     slider->maximum() + zoomStepMs);
    });
}

void frmTrim::cmdSave_Click()
{
    TraceScope trace(module, "Sub cmdSave_Click");
    trace.run([&] {
        if (!forms::confirm(QStringLiteral("Are you sure that you want to save the current trim "
                                           "points as the new start and end points for the loop?")))
            return;
        const int start = slStart[0]->value();
        const int end = slStart[1]->value();
        if (end < start) {
            forms::MsgBox(endpointsWrong);
            return;
        }
        QSqlRecord limits;
        limits.append(QSqlField(QStringLiteral("startTime"), QMetaType(QMetaType::Int)));
        limits.append(QSqlField(QStringLiteral("endTime"), QMetaType(QMetaType::Int)));
        limits.setValue(0, start);
        limits.setValue(1, end);
        rows_.editRow(rowKey_, limits);
    });
}

void frmTrim::MMControl1_PlayClick()
{
    TraceScope trace(module, "Sub MMControl1_PlayClick");
    trace.run([&] { slStart_Change(0); });
}

void frmTrim::MMControl1_StopClick()
{
    TraceScope trace(module, "Sub MMControl1_StopClick");
    trace.run([&] {
        programState().gvPlayState.setState(false);
        mci::MMControl& device = *c_.state.currentMMControl();
        device.setWait(true);
        device.setCommand(QStringLiteral("Stop"));
        device.setUpdateInterval(0);
    });
}

void frmTrim::Form_QueryUnload()
{
    TraceScope trace(module, "Sub Form_QueryUnload");
    trace.run([&] {
        if (c_.state.cdView && c_.state.currentView() == 1)
            showHideTrackInfo(true);
    });
}

void frmTrim::cmdHelp_Click()
{
    TraceScope trace(module, "Sub cmdHelp_Click");
    trace.run([&] {
        forms::MsgBox(QStringLiteral(
            "The sliders allow you to adjust the beginning and endpoints of the current loop "
            "that's playing. These adjustments are for listening purposes only; they only affect "
            "the underlying loop limits if you check the Save button (not available in SlowPlay "
            "mode).\r\n\r\n"
            "When this window first appears during normal play (not SlowPlay) a margin of 1 "
            "second is given on each side of the endpoints in case the loop begins a little "
            "later or ends a little earlier than you'd prefer."));
    });
}

} // namespace lentaro
