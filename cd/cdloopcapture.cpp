#include "cd/cdloopcapture.h"

#include "app/messages.h"
#include "app/ownerrorbox.h"
#include "app/programstate.h"
#include "app/webaddresses.h"
#include "app/windowhelpers.h"
#include "app/workingfiles.h"
#include "cd/cdinputselector.h"
#include "cd/cdsidehost.h"
#include "cd/cdsideloops.h"
#include "cd/datatracks.h"
#include "cd/mcihelpers.h"
#include "mainwindow/expansionfactor.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/cd/DigitalReader.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>

#include <algorithm>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
constexpr int analogRecording = 2;
constexpr int milliseconds = 0;
// What the reader's output always holds.
constexpr int digitalChannels = 2;

QString acdErrorTitle(int number)
{
    return QStringLiteral("Error number ACD") + QString::number(number);
}

// The last track that starts at or before the position (ms on the CD device's scale); 1 for a
// position before every track.
int trackAt(mci::MMControl& cdControl, int ms)
{
    cdControl.setWait(true);
    cdControl.setTimeFormat(milliseconds);
    int track = cdControl.tracks();
    for (; track > 1; --track) {
        cdControl.setTrack(track);
        if (cdControl.trackPosition() <= ms)
            break;
    }
    return track;
}

bool playing(const mci::MMControl& device)
{
    return device.mode() == static_cast<int>(mci::Mode::Playing);
}

void showSoundDriverMessage()
{
    forms::MsgBox(QStringLiteral(
        "The sound driver is not responding. A restart of Windows might fix this problem.\r\n\r\n"
        "If that doesn't work, go to the Control Panel and double-click the Multimedia icon. In "
        "the Advanced (or Devices) tab, one area is called Media Control Devices. This should "
        "contain a Wave Audio driver which is enabled (you can tell whether it's enabled by "
        "double-clicking it and examining the dialog box).\r\n\r\nAlso, if you click the Audio "
        "tab of the Multimedia Control Panel, a valid 'Preferred Device' should be chosen for "
        "both Playback and Recording "));
}

} // namespace

CdLoopCapture::CdLoopCapture(const CdSideControls& controls, CdSideHost& host, CdSideLoops& loops,
                             cd::DigitalReader& ACD1)
    : c_(controls), host_(host), loops_(loops), ACD1_(ACD1)
{
}

void CdLoopCapture::recordCurrentLoop()
{
    TraceScope trace(module, "Sub recordCurrentLoop");
    try {
        forms::setScreenMousePointer(Qt::ArrowCursor);
        enableMainWindow(true);
        if (programState().gvRecordMode != analogRecording) {
            c_.CDControl.setUpdateInterval(0);
            Message2(QStringLiteral("Recording loop to hard disk (digital)"),
                     QStringLiteral("ACD"));
            makeDigitalRecording();
        } else {
            Message2(QStringLiteral("Recording loop to hard disk (analog)"),
                     QStringLiteral("Analog Recording"));
            makeAnalogRecording();
        }
    } catch (...) {
        showOwnErrorBox(RuntimeError::fromCurrentException(), "recordCurrentLoop");
    }
}

void CdLoopCapture::makeAnalogRecording()
{
    TraceScope trace(module, "Sub makeAnalogRecording");
    trace.run([&] {
        ProgramState& program = programState();
        // A mixer that cannot be set still records from whatever source the user chose.
        if (program.gvAutomaticallySetRecordingMixer)
            cdInputSelector().SelectCDInput();
        // A loop that cannot be recorded leaves the last capture as it is.
        int inPt = 0;
        int outPt = 0;
        if (loops_.calcInAndOutPoints(inPt, outPt)) {
            Message2(QStringLiteral("off"));
            return;
        }
        if (outPt <= inPt) {
            Message2(QStringLiteral("off"));
            forms::MsgBox(QStringLiteral("The loop has no length: its end is at its start. "
                                         "Nothing was recorded."));
            return;
        }
        if (const int track = trackAt(c_.CDControl, inPt);
            dataTracksOf(c_.CDControl).count(track) != 0) {
            Message2(QStringLiteral("off"));
            forms::MsgBox(dataTrackRefusal(track));
            return;
        }
        c_.pnlMsg.setText(QStringLiteral("Recording"));
        mci::MMControl& wave = c_.WaveControl;
        wave.setWait(true);
        wave.setCommand(QStringLiteral("Close"));
        wave.setFileName(tempWav());
        ignoringErrors([&] { QFile::remove(wave.fileName()); });
        wave.setWait(true);
        wave.setCommand(QStringLiteral("Open"));
        if (!SetRecordingParameters(wave, program.gvRecordingDepth, program.gvChannels,
                                    program.gvRecordingSampleRate)) {
            showSoundDriverMessage();
            Message2(QStringLiteral("off"));
            return;
        }
        program.gvRecordingInProgress = true;
        loops_.btnLoopPlay_Click();
        // A play that was refused records nothing: the capture ends here, not at a later end
        // of the CD device.
        if (!program.gvPlayState.state().toBool() || !playing(c_.CDControl)) {
            program.gvRecordingInProgress = false;
            wave.setWait(true);
            wave.setCommand(QStringLiteral("Stop"));
            wave.setWait(true);
            wave.setCommand(QStringLiteral("Close"));
            Message2(QStringLiteral("off"));
            c_.pnlMsg.setText(
                QStringLiteral("Nothing was recorded: the loop could not be played."));
            return;
        }
        c_.state.tempWavChannels = program.gvChannels;
        expFactorSet(c_.state);
    });
}

void CdLoopCapture::makeDigitalRecording()
{
    TraceScope trace(module, "Sub makeDigitalRecording");
    trace.run([&] {
        const ProgramState& program = programState();
        if (!program.gvDigitalRecordingOK) {
            forms::MsgBox(QStringLiteral("Sorry - digital recording is not available on this "
                                         "system. For more information, visit ")
                          + faqWebAddress);
            Message2(QStringLiteral("off"));
            return;
        }
        bool readRuns = false;
        // Short of a read that runs on, every way out closes the progress window, which gives
        // the main window back; the read's end does that otherwise.
        struct CleanUp {
            const bool& readRuns;
            ~CleanUp()
            {
                if (!readRuns)
                    ignoringErrors([] { Message2(QStringLiteral("off")); });
            }
        } const cleanUp{readRuns};
        if (const int r = ACD1_.openDrive(program.gvDigCDNum); r > 0) {
            forms::MsgBox(QStringLiteral("Unable to open CD-ROM drive %1.").arg(program.gvDigCDNum),
                          forms::Buttons::OkOnly, forms::Icon::None, acdErrorTitle(r));
            return;
        }
        int inPt = 0;
        int outPt = 0;
        if (loops_.calcInAndOutPoints(inPt, outPt))
            return;
        mci::MMControl& cdControl = c_.CDControl;
        // The in point's track is the last one starting at or before it; a loop from before
        // the first track starts at that track's first sample.
        int track = cdControl.tracks();
        while (track > 1 && ACD1_.trackStartMs(track) > inPt)
            --track;
        if (dataTracksOf(cdControl).count(track) != 0) {
            Message2(QStringLiteral("off"));
            forms::MsgBox(dataTrackRefusal(track));
            return;
        }
        const int readerStart = ACD1_.trackStartMs(track);
        cdControl.setWait(true);
        cdControl.setTimeFormat(milliseconds);
        cdControl.setTrack(track);
        const int offset = cdControl.trackPosition() - readerStart;
        const int trackStart = readerStart + offset;
        const int from = std::max(inPt, trackStart);
        const int length = outPt - from;
        const int start = from - trackStart;

        ignoringErrors([&] {
            mci::MMControl& wave = c_.WaveControl;
            wave.setWait(true);
            wave.setCommand(QStringLiteral("Close"));
            if (QFile::exists(tempWav()))
                QFile::remove(tempWav());
        });
        enableMainWindow(false);
        c_.pnlMsg.setText(QStringLiteral("Please wait - copying loop to hard disk."));
        QCoreApplication::processEvents();
        readRuns = readLoop(track, start, length) == Read::accepted
                   || retryRefusedRead(track, start, length) == Read::accepted;
        if (readRuns)
            readAccepted();
    });
}

CdLoopCapture::Read CdLoopCapture::readLoop(int track, int start, int length)
{
    return ACD1_.readSection(track, tempWav(), start, length) == 0 ? Read::accepted : Read::refused;
}

CdLoopCapture::Read CdLoopCapture::retryRefusedRead(int track, int start, int length)
{
    Message2(QStringLiteral("off"));
    const QString caption = QStringLiteral("Make Loop Points");
    Message(QStringLiteral("Retrying digital read. Please wait."), caption);
    // Playing a moment wakes a drive that dozed off.
    mci::MMControl& current = *c_.state.currentMMControl();
    current.setNotify(false);
    current.setWait(false);
    current.setCommand(QStringLiteral("Play"));
    current.setWait(true);
    current.setCommand(QStringLiteral("Stop"));
    ACD1_.openDrive(programState().gvDigCDNum);
    int r = ACD1_.readSection(track, tempWav(), start, length);
    if (r != 0)
        r = ACD1_.readSection(track, tempWav(), start, length);
    Message(QStringLiteral("off"), caption);
    if (r == 0)
        return Read::accepted;
    forms::MsgBox(QStringLiteral("Unable to read track."), forms::Buttons::OkOnly,
                  forms::Icon::None, acdErrorTitle(r));
    return Read::refused;
}

void CdLoopCapture::readAccepted()
{
    c_.state.tempWavChannels = digitalChannels;
    expFactorSet(c_.state);
    host_.changeToMode(QStringLiteral("SlowPlay"), false);
}

} // namespace lentaro
