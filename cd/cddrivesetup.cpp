#include "cd/cddrivesetup.h"

#include "app/Preference.h"
#include "app/messages.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "app/recordingsubprefs.h"
#include "app/webaddresses.h"
#include "cd/mcihelpers.h"
#include "mainwindow/liveupdate.h"
#include "platform/cd/DigitalReader.h"
#include "platform/cd/DriveList.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"
#include "platform/registry/Registry.h"
#include "platform/registry/Settings.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <algorithm>
#include <vector>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

const QString mciLetterPref = QStringLiteral("MCI CD letter");
const QString digCDNumPref = QStringLiteral("digCDNum");
const QString recordModePref = QStringLiteral("RecordMode");

constexpr char autoplayKey[] = "SOFTWARE\\Classes\\AudioCD\\shell\\";
constexpr char settingsApp[] = "Lentaro";
constexpr char previousSection[] = "Previous";
constexpr char autoplayStringKey[] = "AutoplayString";

const QString noDriveFound =
    QStringLiteral("No CD drive was found. Once one is connected, choose it in Settings with "
                   "\"Choose/Change CD Drive\".");

constexpr int analogRecording = 2;

void send(mci::MMControl& control, bool wait, const char* command)
{
    control.setWait(wait);
    control.setCommand(QString::fromLatin1(command));
}

QString cdDriveLetters()
{
    return QString::fromStdString(cd::driveLetters());
}

// The first character of an answer, upper case; "" for none.
QString letterOf(const QString& answer)
{
    return answer.left(1).toUpper();
}

} // namespace

CdDriveSetup::CdDriveSetup(mci::MMControl& CDControl, cd::DigitalReader& ACD1)
    : CDControl_(CDControl), ACD1_(ACD1)
{
}

void CdDriveSetup::CDandRecordingSetup()
{
    TraceScope trace(module, "Sub CDandRecordingSetup");
    trace.run([&] {
        // Before CDmciSetup's reading stores the default letter.
        Preference letter;
        letter.setPreferenceName(mciLetterPref);
        firstRun_ = letter.Value().toString() == unsetPreference && !letter.storeUnreachable();

        ProgramState& program = programState();
        program.gvDigitalRecordingOK = ASPIsetupOK();
        RecordModeSet(program.gvDigitalRecordingOK);
        CDmciSetup();
        readPref(QStringLiteral("AutomaticallySetRecordingMixer"),
                 program.gvAutomaticallySetRecordingMixer, true);
        readPref(QStringLiteral("RecordingDepth"), program.gvRecordingDepth, 16);
        readPref(QStringLiteral("RecordingSampleRate"), program.gvRecordingSampleRate, 44100);
        getRecordingSubPrefs();
    });
}

bool CdDriveSetup::ASPIsetupOK()
{
    TraceScope trace(module, "Function ASPIsetupOK");
    return trace.run(false, [&] {
        // No drive and no image: digital reading is off, silently.
        if (ACD1_.initialise() != 0)
            return false;
        bool ok = ACD1_.driveLayerInstalled();
        if (!ok)
            ok = installASPI(false);
        ProgramState& program = programState();
        readPref(digCDNumPref, program.gvDigCDNum, 1);
        if (program.gvDigCDNum != -1 && ACD1_.openDrive(program.gvDigCDNum) != 0)
            forms::MsgBox(QStringLiteral("ACD Error opening drive %1").arg(program.gvDigCDNum)
                          + QStringLiteral("\r\n\r\n") + ACD1_.lastErrorText());
        return ok;
    });
}

bool CdDriveSetup::installASPI(bool Force)
{
    TraceScope trace(module, "Function installASPI", {{"Force", Force}});
    return trace.run(false, [&] {
        ProgramState& program = programState();
        QString attempted;
        readPref(QStringLiteral("faspi attempted"), attempted, QStringLiteral("No"));
        if (!Force && attempted.compare(QLatin1String("No"), Qt::CaseInsensitive) != 0) {
            writePref(digCDNumPref, program.gvDigCDNum, -1);
            return false;
        }
        writePref(QStringLiteral("faspi attempted"), attempted, QStringLiteral("Yes"));
        // Nothing to install: the reader is checked as the drive set-up checks it.
        program.gvDigitalRecordingOK = true;
        setupACD();
        if (!program.gvDigitalRecordingOK)
            return false;
        writePref(recordModePref, program.gvRecordMode, 1);
        getRecordingSubPrefs();
        return true;
    });
}

void CdDriveSetup::RecordModeSet(bool digitalOK)
{
    TraceScope trace(module, "Sub RecordModeSet", {{"gvDigitalRecordingOK", digitalOK}});
    trace.run([&] {
        ProgramState& program = programState();
        readPref(QStringLiteral("ChannelToTransform"), program.gvChannelToTransform, 0);
        if (!digitalOK && program.gvChannelToTransform != 0)
            writePref(QStringLiteral("ChannelToTransform"), program.gvChannelToTransform, 0);
        readPref(recordModePref, program.gvRecordMode, 1);
        // Analog for this run only: a start without the drive does not change the user's
        // choice for the starts with it.
        if (!digitalOK)
            program.gvRecordMode = analogRecording;
    });
}

void CdDriveSetup::CDmciSetup()
{
    TraceScope trace(module, "Sub CDmciSetup");
    trace.run([&] {
        send(CDControl_, true, "Close");
        QString letter;
        readPref(mciLetterPref, letter, GetNthCdRomDriveLetter(1));
        CDControl_.setFileName(letter + QLatin1Char(':'));
        send(CDControl_, false, "Open");
    });
}

void CdDriveSetup::startupDriveCheck()
{
    if (firstRun_)
        setCDdrive();
    firstRun_ = false;
}

void CdDriveSetup::setCDdrive()
{
    TraceScope trace(module, "Sub setCDdrive");
    trace.run([&] {
        if (driveCount() != 1) {
            CDControl_.setUpdateInterval(0);
            CDsetup();
            CDControl_.setUpdateInterval(liveUpdateInterval);
            // Without any drive no letter is stored: the first drive's is, so that the next
            // start is no first run and asks nothing.
            if (cdDriveLetters().isEmpty()) {
                QString letter;
                writePref(mciLetterPref, letter, QString(QLatin1Char(cd::firstDriveLetter)));
            }
            return;
        }
        ProgramState& program = programState();
        writePref(digCDNumPref, program.gvDigCDNum, program.gvDigitalRecordingOK ? 1 : -1);
        QString letter;
        writePref(mciLetterPref, letter, GetNthCdRomDriveLetter(1));
        CDmciSetup();
    });
}

int CdDriveSetup::driveCount()
{
    TraceScope trace(module, "Function driveCount");
    return trace.run(0, [&] {
        if (programState().gvDigitalRecordingOK)
            return ACD1_.driveCount();
        return static_cast<int>(cdDriveLetters().size());
    });
}

void CdDriveSetup::CDsetup()
{
    TraceScope trace(module, "Sub CDsetup");
    trace.run([&] {
        const QString letters = cdDriveLetters();
        if (letters.isEmpty()) {
            forms::MsgBox(noDriveFound);
            return;
        }
        QString letter = letterOf(forms::InputBox(
            QStringLiteral("Please enter the letter of the drive used for CD audio, and put an "
                           "audio CD in that drive. Available letters appear to be: ")
                + letters,
            QStringLiteral("Enter audio CD drive letter"), letters.left(1)));
        if (letter.isEmpty())
            return;
        for (;;) {
            send(CDControl_, true, "Close");
            CDControl_.setFileName(letter + QLatin1Char(':'));
            send(CDControl_, true, "Open");
            if (CDControl_.error() != 0) {
                letter = letterOf(
                    forms::InputBox(QStringLiteral("That CD drive letter doesn't appear to work. "
                                                   "Please enter a new one or press Cancel to "
                                                   "quit.")));
                if (letter.isEmpty())
                    return;
            } else if (CDControl_.tracks() == 0) {
                if (forms::MsgBox(
                        QStringLiteral("Is there a CD in the drive? I'm not detecting one."),
                        forms::Buttons::RetryCancel)
                    == forms::Answer::Cancel)
                    return;
            } else {
                break;
            }
        }
        Message2(QStringLiteral("Testing Windows Media CD playback"));
        send(CDControl_, false, "Play");
        Message2(QStringLiteral("off"));
        if (forms::confirm(QStringLiteral("Can you hear the CD playing?"))) {
            QString stored;
            writePref(mciLetterPref, stored, letter);
            send(CDControl_, true, "Stop");
            if (programState().gvDigitalRecordingOK)
                setupACD();
            return;
        }
        const bool lightShows = forms::confirm(QStringLiteral(
            "Does the light on the correct CD player indicate that the CD is playing?"));
        // The test play ends whatever the answer.
        send(CDControl_, true, "Stop");
        if (!lightShows) {
            forms::MsgBox(
                QStringLiteral("The most likely problem is that the wrong CD drive letter has been "
                               "entered. The program detects the following CD drive letter(s): ")
                + letters
                + QStringLiteral(".\r\n\r\nIf your drive letter isn't on that list, please check "
                                 "the Control Panel/Multimedia/CD Audio section to make sure your "
                                 "drive letter appears there.\r\n\r\nWe suggest you close any "
                                 "open audio applications and try again."));
        } else {
            forms::MsgBox(
                QStringLiteral("The problem is most probably that CD audio is not turned up in "
                               "your audio mixer. Double-click the speaker icon in the taskbar to "
                               "bring up the mixer, or visit ")
                + productWebAddress
                + QStringLiteral(" for more information on setting up the Windows mixer."));
        }
    });
}

void CdDriveSetup::setupACD()
{
    TraceScope trace(module, "Sub setupACD");
    trace.run([&] {
        ProgramState& program = programState();
        ACD1_.initialise();
        // The reader's number of the drive the CD device was just tested on.
        const std::string allLetters = cd::driveLetters();
        const QString tested = CDControl_.fileName().left(1).toUpper();
        const std::size_t testedIndex =
            tested.isEmpty() ? std::string::npos : allLetters.find(tested.at(0).toLatin1());
        const int testedDrive = testedIndex == std::string::npos ? 0 : int(testedIndex) + 1;

        std::vector<int> previous;
        int chosen = 0;
        for (;;) {
            const int cdTracks = CDControl_.tracks();
            if (cdTracks == 0)
                forms::MsgBox(
                    QStringLiteral("cdTracks are 0 in routine CDsetup. Please notify support."));
            std::vector<int> passing;
            const int drives = ACD1_.driveCount();
            for (int i = 1; i <= drives; ++i) {
                ACD1_.beforeProbe(0);
                if (ACD1_.openDrive(i) != 0)
                    continue;
                if (ACD1_.isAudioTrack(1) && ACD1_.trackCount() == cdTracks)
                    passing.push_back(i);
            }
            if (passing.empty()) {
                forms::MsgBox(QStringLiteral(
                    "Lentaro did not succeed in configuring your CD drive for digital recording. "
                    "You will still be able to use analog recording."));
                program.gvDigitalRecordingOK = false;
                writePref(recordModePref, program.gvRecordMode, analogRecording);
                return;
            }
            if (passing.size() == 1) {
                chosen = passing.front();
                break;
            }
            // The same drives pass again: the user cannot tell them apart any better.
            if (passing == previous) {
                const bool testedPasses =
                    std::find(passing.begin(), passing.end(), testedDrive) != passing.end();
                chosen = testedPasses ? testedDrive : passing.front();
                break;
            }
            forms::MsgBox(QStringLiteral("Please remove any audio CDs from any drives OTHER than "
                                         "the desired CD drive and press OK."));
            previous = passing;
        }
        forms::MsgBox(
            QStringLiteral("Configuration succeeded! (Device number of active CD drive is %1)")
                .arg(chosen));
        Preference digCDNum;
        digCDNum.setPreferenceName(digCDNumPref);
        digCDNum.setValue(chosen);
        program.gvDigCDNum = chosen;
    });
}

void CdDriveSetup::autoplay(bool autoOn)
{
    TraceScope trace(module, "Sub autoplay", {{"autoOn", autoOn}});
    trace.run([&] {
        using registry::RootKey;
        try {
            if (!registry::findKey(RootKey::LocalMachine, autoplayKey).ok())
                return;
            if (!autoOn) {
                registry::Value value;
                if (!registry::getValue(RootKey::LocalMachine, autoplayKey, "", value).ok()) {
                    forms::MsgBox(QStringLiteral("Error 2"));
                    return;
                }
                const std::string text =
                    QString::fromStdString(value.text().value_or(value.bytes()))
                        .trimmed()
                        .toStdString();
                // An empty value is what a run that ended without giving it back left behind:
                // the text saved then is the one to restore.
                const bool keepSaved =
                    text.empty()
                    && !registry::getSetting(settingsApp, previousSection, autoplayStringKey)
                            .empty();
                if (!keepSaved)
                    registry::saveSetting(settingsApp, previousSection, autoplayStringKey, text);
                registry::setValue(RootKey::LocalMachine, autoplayKey, "",
                                   registry::Value::string(""));
            } else {
                const std::string saved =
                    registry::getSetting(settingsApp, previousSection, autoplayStringKey);
                registry::setValue(RootKey::LocalMachine, autoplayKey, "",
                                   registry::Value::string(saved));
            }
        } catch (...) {
            forms::MsgBox(QStringLiteral(
                "There was an error trying to get control of the CD player. If another "
                "application is running that might be using the CD player, please close it and "
                "press OK."));
        }
    });
}

} // namespace lentaro
