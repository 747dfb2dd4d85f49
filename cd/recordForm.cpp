#include "cd/recordForm.h"

#include "app/hints.h"
#include "app/programstate.h"
#include "app/utilities.h"
#include "app/windowhelpers.h"
#include "app/workingfiles.h"
#include "cd/mcihelpers.h"
#include "cd/mixerontop.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace lentaro {

namespace {

constexpr char module[] = "recordForm";
constexpr int progressIntervalMs = 500;

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* made = new QLabel(text, parent);
    made->setObjectName(QLatin1String(name));
    made->setWordWrap(true);
    return made;
}

} // namespace

recordForm::recordForm(RecorderControls controls)
    : forms::Form(QString::fromLatin1(formName)), c_(std::move(controls))
{
    setWindowTitle(QStringLiteral("Record Wave File"));
    cmdChooseFile = new QPushButton(QStringLiteral("Choose File"), this);
    cmdChooseFile->setObjectName(QStringLiteral("cmdChooseFile"));
    cmdMixer = new QPushButton(QStringLiteral("Show Mixer"), this);
    cmdMixer->setObjectName(QStringLiteral("cmdMixer"));
    Label1 = label(this, "Label1",
                   QStringLiteral("Press this to set the Recording Volume and Source (Mic, Line, "
                                  "etc.)"));
    Label2 = label(this, "Label2",
                   QStringLiteral("Press this to choose a file name before you record."));
    Label3 = label(this, "Label3",
                   QStringLiteral("Once you've selected a file, the round Record button will be "
                                  "enabled. Press it to start recording."));
    lblTime = label(this, "lblTime", QString());
    mmWave = new mci::MMControl(this);
    mmWave->setObjectName(QStringLiteral("mmWave"));
    mmWave->useButtonsOnly({mci::Button::Back, mci::Button::Prev, mci::Button::Play,
                            mci::Button::Stop, mci::Button::Record});
    // Usable once a file is chosen.
    mmWave->setButtonEnabled(mci::Button::Record, false);
    cdlgRecordFile.kind = forms::FileDialogRequest::Kind::Save;
    cdlgRecordFile.filter = QStringLiteral("Wave files (*.wav);;All files (*)");
    cdlgRecordFile.defaultSuffix = QStringLiteral("wav");
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(cmdMixer, 0, 0);
    layout->addWidget(Label1, 0, 1);
    layout->addWidget(cmdChooseFile, 1, 0);
    layout->addWidget(Label2, 1, 1);
    layout->addWidget(mmWave, 2, 0);
    layout->addWidget(Label3, 2, 1);
    layout->addWidget(lblTime, 3, 0, 1, 2);

    connect(cmdChooseFile, &QPushButton::clicked, this, [this] { cmdChooseFile_Click(); });
    connect(cmdMixer, &QPushButton::clicked, this, [this] { cmdMixer_Click(); });
    connect(mmWave, &mci::MMControl::backClick, this, &recordForm::mmWave_BackClick);
    connect(mmWave, &mci::MMControl::prevClick, this, &recordForm::mmWave_PrevClick);
    connect(mmWave, &mci::MMControl::playClick, this, &recordForm::mmWave_PlayClick);
    connect(mmWave, &mci::MMControl::recordClick, this, &recordForm::mmWave_RecordClick);
    connect(mmWave, &mci::MMControl::stopClick, this, &recordForm::mmWave_StopClick);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    Form_Load();
}

void recordForm::Form_Load()
{
    TraceScope trace(module, "Sub Form_Load");
    trace.run([&] {
        if (c_.window)
            centerOver(*this, *c_.window);
        else
            centerform(this);
        noRecordingYet = true;
        mixerOnTop().mixerHwnd = 0;
        heldFileName_ = c_.WaveControl.fileName();
        heldFileOpen_ = c_.WaveControl.mode() != static_cast<int>(mci::Mode::NotOpen);
        // No position reports in the main window while the recorder is open.
        mci::MMControl& current = *c_.state.currentMMControl();
        savedUpdateInterval = current.updateInterval();
        current.setUpdateInterval(0);
    });
}

void recordForm::formUnload()
{
    TraceScope trace(module, "Sub Form_Unload", {{"Cancel", 0}});
    trace.run([&] {
        Timer1->stop();
        conditionalSave();
        c_.WaveControl.setWait(true);
        c_.WaveControl.setCommand(QStringLiteral("Close"));
        hideMixer();
        c_.state.currentMMControl()->setUpdateInterval(savedUpdateInterval);
        // The main window's view goes on with the file it had open.
        c_.WaveControl.setFileName(heldFileName_);
        if (heldFileOpen_) {
            c_.WaveControl.setWait(true);
            c_.WaveControl.setCommand(QStringLiteral("Open"));
        }
    });
}

void recordForm::cmdChooseFile_Click()
{
    TraceScope trace(module, "Sub cmdChooseFile_Click");
    trace.run([&] {
        conditionalSave();
        const QString chosen = forms::prompts().fileDialog(cdlgRecordFile).value_or(QString());
        if (chosen.isEmpty())
            return;
        if (namesWorkingFile(chosen)) {
            refuseWorkingName();
            return;
        }
        cdlgRecordFile.fileName = chosen;
        setWindowTitle(QStringLiteral("Record file ") + extractFilenameFromFullPath(chosen));
        c_.WaveControl.setWait(true);
        c_.WaveControl.setCommand(QStringLiteral("Close"));
        c_.WaveControl.setFileName(chosen);
        mmWave->setButtonEnabled(mci::Button::Record, true);
    });
}

void recordForm::cmdMixer_Click()
{
    TraceScope trace(module, "Sub cmdMixer_Click");
    trace.run([&] { showRecordingMixer(); });
}

void recordForm::mmWave_BackClick(bool&)
{
    TraceScope trace(module, "Sub mmWave_BackClick");
    trace.run([&] { c_.WaveControl.setCommand(QStringLiteral("Back")); });
}

void recordForm::mmWave_PrevClick(bool&)
{
    TraceScope trace(module, "Sub mmWave_PrevClick");
    trace.run([&] { c_.WaveControl.setCommand(QStringLiteral("Prev")); });
}

void recordForm::mmWave_PlayClick(bool&)
{
    TraceScope trace(module, "Sub mmWave_PlayClick");
    trace.run([&] {
        c_.WaveControl.setWait(false);
        c_.WaveControl.setCommand(QStringLiteral("Play"));
        c_.WaveControl.setUpdateInterval(progressIntervalMs);
    });
}

void recordForm::mmWave_RecordClick(bool&)
{
    TraceScope trace(module, "Sub mmWave_RecordClick");
    trace.run([&] {
        noRecordingYet = false;
        mci::MMControl& wave = c_.WaveControl;
        wave.setWait(true);
        wave.setCommand(QStringLiteral("Close"));
        wave.setFileName(cdlgRecordFile.fileName);
        QFile::remove(wave.fileName()); // none there yet is no error
        wave.setWait(true);
        wave.setCommand(QStringLiteral("Open"));
        // A refused format leaves the device's own: it records all the same.
        const ProgramState& program = programState();
        SetRecordingParameters(wave, program.gvRecordingDepth, program.gvChannels,
                               program.gvRecordingSampleRate);
        wave.setWait(false);
        wave.setCommand(QStringLiteral("Record"));
        // Without a sound input nothing records, and no seconds are counted.
        if (wave.error() == 0)
            Timer1->start(progressIntervalMs);
    });
}

void recordForm::mmWave_StopClick(bool&)
{
    TraceScope trace(module, "Sub mmWave_StopClick");
    trace.run([&] {
        c_.WaveControl.setWait(true);
        c_.WaveControl.setCommand(QStringLiteral("Stop"));
        // As a recorder does: Play after Stop plays the take from its start.
        c_.WaveControl.setCommand(QStringLiteral("Prev"));
        Timer1->stop();
    });
}

void recordForm::Timer1_Timer()
{
    TraceScope trace(module, "Sub Timer1_Timer");
    trace.run([&] {
        lblTime->setText(QString::number(c_.WaveControl.position() / 1000)
                         + QStringLiteral(" seconds recorded..."));
    });
}

void recordForm::conditionalSave()
{
    TraceScope trace(module, "Sub conditionalSave");
    trace.run([&] {
        if (noRecordingYet)
            return;
        const QString fileName = c_.WaveControl.fileName();
        if (!forms::confirm(QStringLiteral("Save file ") + fileName + QStringLiteral("?")))
            return;
        c_.WaveControl.setWait(true);
        c_.WaveControl.setCommand(QStringLiteral("Save"));
        c_.addToMRUs(fileName);
    });
}

void recordForm::showRecordingMixer()
{
    TraceScope trace(module, "Sub showRecordingMixer");
    trace.run([&] {
        if (!ShowHint(QStringLiteral("recordingMixerTakesAWhile"), false))
            return;
        MixerOnTop& mixer = mixerOnTop();
        if (showMixer() == 0)
            return;
        // Another program's window can be neither kept on top nor sent keys here: the
        // recording controls' window is only noted when it is found.
        bringMixerToFront();
        if (foregroundWindowText().toUpper().contains(QLatin1String("RECORDING")))
            return;
        mixer.recordingMixerHwnd = getHwndContaining(QStringLiteral("Recording"));
        if (mixer.recordingMixerHwnd != 0)
            mixer.mixerHwnd = 0;
    });
}

void recordForm::hideMixer()
{
    TraceScope trace(module, "Sub hideMixer");
    trace.run([&] { ignoringErrors([] { endMixer(); }); });
}

} // namespace lentaro
