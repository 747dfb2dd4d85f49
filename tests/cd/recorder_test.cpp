#include "tests/cd/cd_rig_fixture.h"

#include "tests/app/clicking.h"
#include "tests/app/traced_calls.h"

#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "cd/mixerontop.h"
#include "cd/mp3form.h"
#include "cd/recordForm.h"
#include "mainwindow/mainstate.h"
#include "platform/audio/FrameSource.h"
#include "platform/forms/formregistry.h"
#include "platform/forms/windowhandles.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/TransportBar.h"
#include "tests/platform/mci/fake_device.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/support/sanitizers.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace lentaro::test {

namespace {

const QString saveQuestion = QStringLiteral("Save file %1?");

// A wave device that records nothing and stands where the test puts it.
class PositionedDevice : public mci::test::FakeDevice
{
public:
    mci::Reading position(mci::TimeFormat) const override { return mci::Reading::of(at); }
    int at = 0;
};

// LENTARO_MIXER set for the test's lifetime.
class MixerCommand
{
public:
    explicit MixerCommand(const QString& command) : previous_(qgetenv("LENTARO_MIXER"))
    {
        qputenv("LENTARO_MIXER", command.toLocal8Bit());
    }
    ~MixerCommand()
    {
        if (previous_.isEmpty())
            qunsetenv("LENTARO_MIXER");
        else
            qputenv("LENTARO_MIXER", previous_);
    }

private:
    QByteArray previous_;
};

// The rig's wave device holds held.wav open, and the recorder is loaded over it.
class RecorderTest : public CdRigTest
{
protected:
    void SetUp() override
    {
        CdRigTest::SetUp();
        useDiscs({});
        rig().state().setCurrentMMControl(rig().CDControl);
        rig().CDControl->setUpdateInterval(500);
        auto device = std::make_unique<PositionedDevice>();
        device_ = device.get();
        wave().setDevice(std::move(device), QStringLiteral("WaveAudio"));
        wave().setFileName(path("held.wav"));
        ProgramState& program = programState();
        program.gvRecordingDepth = 16;
        program.gvChannels = 1;
        program.gvRecordingSampleRate = 22050;
    }
    void TearDown() override
    {
        endMixer();
        CdRigTest::TearDown();
    }

    mci::MMControl& wave() { return *rig().WaveControl; }
    recordForm& load()
    {
        return *new recordForm(
            {rig().state(), wave(), [this](const QString& fn) { rig().addToMRUs(fn); }});
    }
    // The recorder records into `name`, chosen through its dialog.
    void record(recordForm& recorder, const char* name)
    {
        prompts_.queueFile(path(name));
        recorder.cmdChooseFile->click();
        bool cancel = false;
        recorder.mmWave_RecordClick(cancel);
    }
    QStringList questions() const
    {
        QStringList texts;
        for (const auto& box : prompts_.messageBoxes())
            texts << box.text;
        return texts;
    }

    PositionedDevice* device_ = nullptr;
};

TEST_F(RecorderTest, CancellingTheFileChoiceBeforeAnyFileChangesNothing)
{
    recordForm& recorder = load();

    recorder.cmdChooseFile->click();

    EXPECT_EQ(recorder.windowTitle(), "Record Wave File");
    EXPECT_EQ(wave().fileName(), path("held.wav"));
    EXPECT_TRUE(device_->calls.empty());
    EXPECT_FALSE(recorder.mmWave->buttonEnabled(mci::Button::Record));
}

TEST_F(RecorderTest, RecordsIntoTheFileChosenAfterDeletingItAndCountsWholeSeconds)
{
    writeFile("take.wav", "an older take");
    recordForm& recorder = load();

    prompts_.queueFile(path("take")); // typed without an extension
    recorder.cmdChooseFile->click();
    EXPECT_EQ(prompts_.fileDialogs().back().defaultSuffix, "wav");
    EXPECT_EQ(recorder.windowTitle(), "Record file take.wav");
    EXPECT_TRUE(recorder.mmWave->buttonEnabled(mci::Button::Record));
    bool cancel = false;
    recorder.mmWave_RecordClick(cancel);

    EXPECT_FALSE(QFile::exists(path("take.wav")));
    EXPECT_EQ(wave().fileName(), path("take.wav"));
    EXPECT_EQ(device_->verbs(), QStringList({"Close", "Close", "Open", "Format", "Record"}));
    ASSERT_TRUE(device_->format.has_value());
    EXPECT_EQ(device_->format->samplesPerSec, 22050);
    EXPECT_EQ(device_->format->channels, 1);
    EXPECT_TRUE(recorder.Timer1->isActive());
    EXPECT_EQ(recorder.Timer1->interval(), 500);

    device_->at = 1999;
    recorder.Timer1_Timer();
    EXPECT_EQ(recorder.lblTime->text(), "1 seconds recorded...");

    recorder.mmWave_StopClick(cancel);
    EXPECT_EQ(device_->verbs().mid(device_->verbs().size() - 2), QStringList({"Stop", "Prev"}));
    EXPECT_FALSE(recorder.Timer1->isActive());
}

TEST_F(RecorderTest, AsksToSaveOnEveryLaterChoiceAndOnClosingAlsoAfterASave)
{
    recordForm& recorder = load();
    record(recorder, "take.wav");

    prompts_.queueAnswer(forms::Answer::Yes);
    prompts_.queueFile(path("other.wav"));
    recorder.cmdChooseFile->click();
    EXPECT_EQ(device_->verbs().count("Save"), 1);
    EXPECT_EQ(rig().recentFiles.value(0), path("take.wav"));

    prompts_.queueAnswer(forms::Answer::No);
    recorder.unload();

    EXPECT_EQ(questions(), QStringList({saveQuestion.arg(path("take.wav")),
                                        saveQuestion.arg(path("other.wav"))}));
    EXPECT_EQ(device_->verbs().count("Save"), 1);
}

TEST_F(RecorderTest, GivesTheWaveDeviceItsFileBackAndTheUpdateIntervalAtUnloading)
{
    recordForm& recorder = load();
    EXPECT_EQ(rig().CDControl->updateInterval(), 0);
    record(recorder, "take.wav");
    prompts_.queueAnswer(forms::Answer::No);

    recorder.unload();

    EXPECT_EQ(wave().fileName(), path("held.wav"));
    EXPECT_EQ(device_->verbs().mid(device_->verbs().size() - 2), QStringList({"Close", "Open"}));
    EXPECT_NE(wave().mode(), static_cast<int>(mci::Mode::NotOpen));
    EXPECT_EQ(rig().CDControl->updateInterval(), 500);
}

TEST_F(RecorderTest, RefusesTheWorkingFilesAsRecordingFiles)
{
    for (const char* name : {"temp.wav", "TEMPSLOW.WAV"}) {
        SCOPED_TRACE(name);
        prompts_ = {};
        recordForm& recorder = load();

        prompts_.queueFile(path(name));
        recorder.cmdChooseFile->click();

        EXPECT_EQ(questions(), QStringList({"Please choose a different name. Lentaro likes "
                                            "temp.wav for itself."}));
        EXPECT_EQ(recorder.windowTitle(), "Record Wave File");
        EXPECT_EQ(wave().fileName(), path("held.wav"));
        EXPECT_FALSE(recorder.mmWave->buttonEnabled(mci::Button::Record));
        recorder.unload();
        deleteUnloaded();
    }
}

TEST_F(RecorderTest, TheMixerIsStartedOnceWhileItRunsAndEndedAtUnloading)
{
    if (underThreadSanitizer)
        GTEST_SKIP() << cannotStartPrograms;
    writeFile("mixer.sh", "#!/bin/sh\nexec sleep 60\n");
    QFile::setPermissions(path("mixer.sh"), QFile::ReadOwner | QFile::ExeOwner);
    const MixerCommand command(path("mixer.sh"));
    storePreferenceText("recordingMixerTakesAWhile", "0");
    recordForm& recorder = load();

    recorder.cmdMixer->click();
    ASSERT_TRUE(mixerRunning());
    const qint64 mixer = mixerOnTop().mixerTask->processId();
    recorder.cmdMixer->click();
    EXPECT_EQ(mixerOnTop().mixerTask->processId(), mixer);
    EXPECT_EQ(mixerOnTop().mixerHwnd, 0);

    recorder.unload();

    EXPECT_FALSE(mixerRunning());
    EXPECT_NE(::kill(pid_t(mixer), 0), 0);
    EXPECT_TRUE(questions().isEmpty());
}

TEST_F(RecorderTest, AMixerThatCannotStartIsReportedAndGivesNoWindow)
{
    if (underThreadSanitizer)
        GTEST_SKIP() << cannotStartPrograms;
    const MixerCommand command(path("no such mixer"));

    EXPECT_EQ(showMixer(), 0);

    EXPECT_EQ(questions(), QStringList({"There was an error bringing up the mixer. The most "
                                        "likely cause is that you need to reinstall the Windows "
                                        "mixer (c:\\Windows\\sndvol32.exe)"}));
    EXPECT_FALSE(mixerRunning());
}

TEST_F(RecorderTest, WindowSearchesFindTheLastOfTheProgramsWindowsInHandleOrder)
{
    QWidget first;
    first.setWindowTitle("Volume control");
    QWidget second;
    second.setWindowTitle("CONTROL panel");
    const std::int32_t firstHandle = forms::windowHandle(&first);
    const std::int32_t secondHandle = forms::windowHandle(&second);
    ASSERT_LT(firstHandle, secondHandle);

    EXPECT_EQ(getHwndContaining("CONTROL"), secondHandle);
    EXPECT_EQ(getHwndContaining("volume"), firstHandle);
    EXPECT_EQ(getHwndContaining("no window has this"), 0);
}

// Every control of the recorder, clicked as the user clicks it, reaches its procedure; its timer
// ticks while it records, and its close box unloads it.
TEST_F(RecorderTest, EveryControlReachesItsProcedure)
{
    TracedCalls calls(home());
    recordForm& recorder = load();
    recorder.show();
    const auto clicked = [](QWidget* control) {
        return [control] {
            // The mixer's hint is cancelled: no mixer is started.
            WhenModal hint([](QWidget& modal) { modal.close(); });
            click(control);
        };
    };
    const auto bar = [&](mci::Button which) {
        return clicked(recorder.mmWave->bar()->button(which));
    };
    const auto ticked = [&] {
        const QDeadlineTimer deadline(5000);
        while (!calls.reached(QStringLiteral("recordForm : Sub Timer1_Timer"))
               && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    prompts_.queueFile(path("take.wav"));
    walk(calls, {
                    {"Choose File", clicked(recorder.cmdChooseFile),
                     "recordForm : Sub cmdChooseFile_Click"},
                    {"Show Mixer", clicked(recorder.cmdMixer), "recordForm : Sub cmdMixer_Click"},
                    {"Record", bar(mci::Button::Record), "recordForm : Sub mmWave_RecordClick"},
                    {"Stop", bar(mci::Button::Stop), "recordForm : Sub mmWave_StopClick"},
                    {"Back", bar(mci::Button::Back), "recordForm : Sub mmWave_BackClick"},
                    {"Prev", bar(mci::Button::Prev), "recordForm : Sub mmWave_PrevClick"},
                    {"Play", bar(mci::Button::Play), "recordForm : Sub mmWave_PlayClick"},
                    {"the timer while recording",
                     [&] {
                         bar(mci::Button::Record)();
                         ticked();
                     },
                     "recordForm : Sub Timer1_Timer"},
                    {"the close box",
                     [&] {
                         prompts_.queueAnswer(forms::Answer::No);
                         recorder.close();
                     },
                     "recordForm : Sub Form_Unload", [] { return !isLoaded("recordForm"); }},
                });
    EXPECT_EQ(calls.lastError().number, 0) << calls.lastError().description.toStdString();
}

// The recorder over the rig's wave device, on a null sound card whose clock only
// the test moves and whose input records a count: sample n is n.
class RecorderOnTheCardTest : public CdRigTest
{
protected:
    void SetUp() override
    {
        CdRigTest::SetUp();
        useDiscs({});
        rig().state().setCurrentMMControl(rig().CDControl);
        ProgramState& program = programState();
        program.gvRecordingDepth = 16;
        program.gvChannels = 1;
        program.gvRecordingSampleRate = 8000;
        std::vector<std::uint8_t> count;
        for (int n = 0; n < 8000; ++n) {
            count.push_back(static_cast<std::uint8_t>(n & 0xFF));
            count.push_back(static_cast<std::uint8_t>(n >> 8));
        }
        sound_.card.setSource(std::make_shared<audio::MemorySource>(
            audio::Format{1, 8000, 16, audio::Encoding::Pcm}, count));
    }

    mci::test::WaveRig sound_;
};

TEST_F(RecorderOnTheCardTest, PlayAfterStopPlaysTheTakeFromItsStart)
{
    auto& recorder = *new recordForm({rig().state(), *rig().WaveControl, {}});
    recorder.show();
    mci::MMControl& wave = *rig().WaveControl;
    const auto press = [&](mci::Button button) {
        QTest::mouseClick(recorder.mmWave->bar()->button(button), Qt::LeftButton);
    };
    prompts_.queueFile(path("take.wav"));
    QTest::mouseClick(recorder.cmdChooseFile, Qt::LeftButton);
    press(mci::Button::Record);
    ASSERT_EQ(wave.mode(), static_cast<int>(mci::Mode::Recording));
    ASSERT_TRUE(mci::test::eventually([&] {
        sound_.clock->advance(std::chrono::milliseconds(20));
        return wave.position() >= 500;
    }));
    press(mci::Button::Stop);
    const int take = wave.length();

    press(mci::Button::Play);
    ASSERT_TRUE(mci::test::eventually([&] {
        if (wave.position() >= take / 2)
            return true;
        sound_.clock->advance(std::chrono::milliseconds(10));
        return false;
    }));

    EXPECT_EQ(wave.mode(), static_cast<int>(mci::Mode::Playing));
    const std::vector<mci::test::Stretch> heard = sound_.runs();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front().start, 0);
    EXPECT_GE(heard.front().end, take / 2 * 8);
    prompts_.queueAnswer(forms::Answer::No);
    recorder.unload();
}

} // namespace
} // namespace lentaro::test
