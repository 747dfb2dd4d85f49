// The speed and pitch controls of the "SlowPlay" view, where the speed of each loop and the pitch
// change of each CD track or wave file are remembered, and the restart of the slow-down road on
// every change.
#include "loops/loopSide.h"

#include "app/preferencetext.h"
#include "app/programstate.h"
#include "loops/sliderLock.h"
#include "mainwindow/expansionfactor.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSlider>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
// The speed a loop plays at until one is stored for it.
constexpr int defaultPercent = 50;
// The pitch reaches an octave either way, as far as the slider and the labels go.
constexpr int widestPitchChange = 1200;

int clampedPitch(int cents)
{
    return std::clamp(cents, -widestPitchChange, widestPitchChange);
}

// A pitch box's text in its unit: an empty box counts 0; nothing when the text is no number.
std::optional<double> boxValue(const QLineEdit& box)
{
    if (box.text().trimmed().isEmpty())
        return 0.0;
    return numberOf(box.text());
}

// The query bound and run; run-time error 3146 with the database's reason when it fails.
QSqlQuery run(const MainState& state, const QString& sql, const QVariantList& values)
{
    QSqlQuery query(state.database());
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw RuntimeError(errorNumbers::databaseCallFailed, query.lastError().text());
    return query;
}

} // namespace

void LoopSideOfMain::connectSpeedControls()
{
    for (int i = 0; i < 2; ++i) {
        QSlider* slider = c_.slSlowPct[i];
        // Moves follow the thumb; only the release changes the speed or pitch.
        slider->setTracking(false);
        slider->installEventFilter(this);
        connect(slider, &QSlider::valueChanged, this, [this, i] { slSlowPct_Change(i); });
        connect(slider, &QSlider::sliderMoved, this, [this, i] { slSlowPct_Scroll(i); });
        connect(slider, &QSlider::sliderReleased, this, [this, i] { slSlowPct_MouseUp(i); });
    }
    for (int i = 0; i < 3; ++i) {
        connect(c_.txtSlowPct[i], &QLineEdit::returnPressed, this,
                [this, i] { completetxtSlowPctEntry(i); });
    }
    connect(&c_.lbl1005Speed, &QPushButton::clicked, this, &LoopSideOfMain::lbl1005Speed_Click);
    connect(&c_.lbl1003Speed, &QPushButton::clicked, this, &LoopSideOfMain::lbl1003Speed_Click);
    connect(&c_.lbl1002, &QPushButton::clicked, this, &LoopSideOfMain::lbl1002_Click);
    connect(&c_.lblOriginalSpeed, &QPushButton::clicked, this,
            &LoopSideOfMain::lblOriginalSpeed_Click);
    connect(&c_.lblDoubleSpeed, &QPushButton::clicked, this, &LoopSideOfMain::lblDoubleSpeed_Click);
    for (int i = 0; i < static_cast<int>(c_.lblSteps.size()); ++i)
        connect(c_.lblSteps[i], &QPushButton::clicked, this, [this, i] { lblSteps_Click(i); });
    connect(&c_.tmrSliderFreedom, &QTimer::timeout, this, &LoopSideOfMain::tmrSliderFreedom_Timer);
}

void LoopSideOfMain::changeTransformParameters()
{
    TraceScope trace(module, "Sub changeTransformParameters");
    trace.run([&] {
        ProgramState& program = programState();
        MainState& state = c_.state;
        // The markers' shares of the file are taken while it is still open; the pass started
        // below finds it closed and keeps them.
        setupTrimFormsForSlowdown();
        state.setSlowDownPercent(std::max(state.slowDownPercent(), slowestPercent));
        state.setPitchChange(clampedPitch(state.pitchChange()));
        showSpeedAndPitch();
        expFactorSet(state);
        mci::MMControl& wave = c_.WaveControl;
        if (!wave.fileName().isEmpty()) {
            wave.setWait(true);
            wave.setCommand(QStringLiteral("Close"));
            wave.setFileName(QString());
        }
        program.gvSlowedFileReady = false;
        host_->graphicEnableToggle(program.gvSlowedFileReady);
        btnLoopPlay_Click();
    });
}

void LoopSideOfMain::showSpeedAndPitch()
{
    const QScopedValueRollback<bool> setting(settingSliders, true);
    const MainState& state = c_.state;
    c_.txtSlowPct[0]->setText(QString::number(state.slowDownPercent()));
    c_.slSlowPct[0]->setValue(state.slowDownPercent());
    c_.slSlowPct[1]->setValue(state.pitchChange());
    pitchChangeTextFieldsFill();
}

void LoopSideOfMain::slSlowPct_Change(int Index)
{
    TraceScope trace(module, "Sub slSlowPct_Change", {{"Index", Index}});
    trace.run([&] {
        if (settingSliders)
            return;
        MainState& state = c_.state;
        const int value = c_.slSlowPct[Index]->value();
        if (Index == 0)
            state.setSlowDownPercent(std::max(value, slowestPercent));
        else
            state.setPitchChange(value);
        changeTransformParameters();
    });
}

void LoopSideOfMain::slSlowPct_Scroll(int Index)
{
    MainState& state = c_.state;
    // The thumb's place: the slider's value changes only on release.
    const int position = c_.slSlowPct[Index]->sliderPosition();
    if (Index == 0) {
        state.setSlowDownPercent(position);
        c_.txtSlowPct[0]->setText(QString::number(position));
    } else {
        state.setPitchChange(position);
        pitchChangeTextFieldsFill();
    }
}

void LoopSideOfMain::slSlowPct_MouseUp(int Index)
{
    sliderLock_.lock(Index);
}

void LoopSideOfMain::tmrSliderFreedom_Timer()
{
    sliderLock_.free();
}

bool LoopSideOfMain::sliderInputLocked(QObject* watched, const QEvent& event) const
{
    for (int i = 0; i < 2; ++i) {
        if (watched == c_.slSlowPct[i])
            return sliderLock_.swallows(i, event);
    }
    return false;
}

void LoopSideOfMain::completetxtSlowPctEntry(int Index)
{
    TraceScope trace(module, "Sub completetxtSlowPctEntry", {{"Index", Index}});
    trace.run([&] {
        MainState& state = c_.state;
        if (Index == 0) {
            // Text that starts with no number is no speed: the speed stays as it was.
            const std::optional<double> typed = leadingNumberOf(c_.txtSlowPct[0]->text());
            const std::optional<int> percent = typed ? wholeNumberOf(*typed) : std::nullopt;
            if (!percent) {
                showSpeedAndPitch();
                return;
            }
            state.setSlowDownPercent(*percent);
        } else if (Index == 1 || Index == 2) {
            const std::optional<double> halfSteps = boxValue(*c_.txtSlowPct[1]);
            const std::optional<double> cents = boxValue(*c_.txtSlowPct[2]);
            const std::optional<int> pitch =
                halfSteps && cents ? wholeNumberOf(*halfSteps * 100 + *cents) : std::nullopt;
            // Text that is no pitch changes nothing: the boxes show the pitch that sounds.
            if (!pitch) {
                pitchChangeTextFieldsFill();
                return;
            }
            state.setPitchChange(*pitch);
        }
        changeTransformParameters();
    });
}

void LoopSideOfMain::setSpeed(int percent)
{
    c_.state.setSlowDownPercent(percent);
    changeTransformParameters();
}

void LoopSideOfMain::lbl1005Speed_Click()
{
    setSpeed(20);
}

void LoopSideOfMain::lbl1003Speed_Click()
{
    setSpeed(33);
}

void LoopSideOfMain::lbl1002_Click()
{
    setSpeed(50);
}

void LoopSideOfMain::lblOriginalSpeed_Click()
{
    setSpeed(100);
}

void LoopSideOfMain::lblDoubleSpeed_Click()
{
    setSpeed(200);
}

void LoopSideOfMain::lblSteps_Click(int Index)
{
    TraceScope trace(module, "Sub lblSteps_Click", {{"Index", Index}});
    trace.run([&] {
        c_.state.setPitchChange(Index <= 12 ? Index * 100 : (12 - Index) * 100);
        changeTransformParameters();
    });
}

void LoopSideOfMain::pitchChangeTextFieldsFill()
{
    const int pitch = c_.state.pitchChange();
    // C++ division truncates toward zero and the remainder keeps the sign: -150 is -1 and -50.
    c_.txtSlowPct[1]->setText(QString::number(pitch / 100));
    c_.txtSlowPct[2]->setText(QString::number(pitch % 100));
}

int LoopSideOfMain::lstPct()
{
    TraceScope trace(module, "Function lstPct");
    return trace.run(defaultPercent, [&] {
        const QVariant stored = rows_.field(QStringLiteral("lastPct"));
        const int percent = stored.isNull() ? 0 : stored.toInt();
        return percent == 0 ? defaultPercent : std::max(percent, slowestPercent);
    });
}

int LoopSideOfMain::lstPitchChange()
{
    TraceScope trace(module, "Function lstPitchChange");
    return trace.run(0, [&] {
        int pitch = 0;
        // No loop row, no track or wave-file row, or none to be read: no change.
        ignoringErrors([&] {
            const MainState& state = c_.state;
            QSqlQuery found =
                state.cdView
                    ? run(state,
                          QStringLiteral("SELECT lastPitchChange FROM Tracks WHERE CDid = ? AND "
                                         "TrackNum = ?"),
                          {rows_.field(QStringLiteral("CDid")),
                           rows_.field(QStringLiteral("TrackNum"))})
                    : run(state,
                          QStringLiteral("SELECT lastPitchChange FROM \"Wave Files\" WHERE "
                                         "waveFileID = ?"),
                          {rows_.field(QStringLiteral("waveFileID"))});
            if (found.next())
                pitch = clampedPitch(found.value(0).toInt());
        });
        return pitch;
    });
}

void LoopSideOfMain::saveCurrentPct()
{
    TraceScope trace(module, "Sub saveCurrentPct");
    trace.run([&] {
        // The loop Transform was pressed on, whichever row is current now.
        if (prevRowKey.isNull())
            return;
        QSqlRecord fields;
        fields.append(QSqlField(QStringLiteral("lastPct"), QMetaType(QMetaType::Int)));
        fields.setValue(0, c_.state.slowDownPercent());
        rows_.editRow(prevRowKey, fields);
    });
}

void LoopSideOfMain::saveCurrentPitchChange()
{
    TraceScope trace(module, "Sub saveCurrentPitchChange");
    trace.run([&] {
        const MainState& state = c_.state;
        if (state.savedCdView) {
            run(state,
                QStringLiteral(
                    "UPDATE Tracks SET lastPitchChange = ? WHERE CDid = ? AND TrackNum = ?"),
                {state.pitchChange(), rows_.field(QStringLiteral("CDid")),
                 rows_.field(QStringLiteral("TrackNum"))});
        } else {
            run(state,
                QStringLiteral(
                    "UPDATE \"Wave Files\" SET lastPitchChange = ? WHERE waveFileID = ?"),
                {state.pitchChange(), rows_.field(QStringLiteral("waveFileID"))});
        }
    });
}

void LoopSideOfMain::cmdSlowPlayAdjust()
{
    c_.cmdSlowPlay.setEnabled(rows_.count() >= 1);
}

} // namespace lentaro
