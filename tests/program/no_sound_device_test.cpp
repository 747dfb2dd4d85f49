#include "tests/program/program_fixture.h"

#include "app/programstate.h"
#include "cd/recordForm.h"
#include "loops/frmTrim.h"
#include "mainwindow/frmMain.h"
#include "platform/mci/MMControl.h"
#include "tests/platform/mci/control_fixture.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <cmath>

namespace lentaro::test {
namespace {

constexpr int rate = 44100;
constexpr double pi = 3.14159265358979323846;

const QString noOutput = QStringLiteral(
    "No sound output could be opened: there is no sound output device.\n\nCheck the desktop's "
    "sound settings: a sound output device must be there, switched on and chosen for playback. "
    "To work without sound, start Lentaro with LENTARO_AUDIO=null.");
const QString noInput = QStringLiteral(
    "No sound input could be opened: there is no sound input device.\n\nCheck the desktop's "
    "sound settings: a recording device must be there, switched on and chosen for recording. To "
    "work without sound, start Lentaro with LENTARO_AUDIO=null.");
// What a first start on a machine without a CD drive says first.
const QString noDrive = QStringLiteral(
    "No CD drive was found. Once one is connected, choose it in Settings with \"Choose/Change CD "
    "Drive\".");
const QString passFailed = QStringLiteral(
    "The slowdown process failed with error code 4 (No sound output could be opened: there is no "
    "sound output device). Please try again. If that doesn't work, please contact "
    "support@lentaro.org. Thanks.\n\nTransform without real-time playback instead? The "
    "slowed-down loop is then made first and played once it is ready, and File > Save Last "
    "Slowed-Down File can keep it. The Settings dialog's \"Transform in Real-Time\" switches "
    "back.");

// tone.wav: two seconds of 440 Hz, 16-bit mono.
void writeTone(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::vector<std::int16_t> samples;
    for (int frame = 0; frame < 2 * rate; ++frame)
        samples.push_back(static_cast<std::int16_t>(
            std::lround(12000 * std::sin(2 * pi * 440.0 * frame / rate))));
    mci::test::writeWave16(QFile::encodeName(path).toStdString(), rate, 1, samples);
}

// The program with the real sound layer (PortAudio) on a machine without sound devices: where
// the machine has some, an ALSA configuration whose only device is a card that is not there, and
// a JACK server of a name that none has, hide them. Each test is a process of its own (ctest), so
// PortAudio starts with these.
class NoSoundDevice : public ProgramInUse
{
protected:
    void SetUp() override
    {
        ProgramInUse::SetUp();
        qunsetenv("LENTARO_AUDIO");
        qunsetenv("LENTARO_AUDIO_CAPTURE");
        const QString alsa = sound_.filePath(QStringLiteral("asound.conf"));
        QFile config(alsa);
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("pcm.!default { type hw card 99 }\n");
        config.close();
        qputenv("ALSA_CONFIG_PATH", QFile::encodeName(alsa));
        qputenv("JACK_NO_START_SERVER", "1");
        qputenv("JACK_DEFAULT_SERVER", "lentaro-test-no-server");
        tone_ = path(QStringLiteral("music/tone.wav"));
        writeTone(tone_);
    }

    // The boxes shown that begin with this text.
    QStringList boxesBeginning(const QString& text) const
    {
        QStringList found;
        for (const QString& shown : shownMessages()) {
            if (shown.startsWith(text))
                found << shown;
        }
        return found;
    }
    // The boxes shown, but the first start's word that the machine has no CD drive.
    int boxes() const
    {
        return static_cast<int>(shownMessages().size())
               - static_cast<int>(boxesBeginning(noDrive).size());
    }

    Person::Step opened()
    {
        return {QStringLiteral("opened"),
                [this] {
                    prompts_.queueFile(tone_);
                    press(main(), Qt::Key_O, Qt::ControlModifier);
                },
                [] { return !main().state().cdView; },
                {}};
    }
    // A key the person presses, and what shows once the program has settled: how many boxes in
    // all, nothing playing, the window usable.
    Person::Step pressed(const QString& name, Qt::Key key, int expectedBoxes)
    {
        return {
            name, [key] { press(main(), key); },
            [this, expectedBoxes] {
                mci::test::drainEvents();
                return boxes() >= expectedBoxes;
            },
            [this, expectedBoxes] {
                mci::test::drainEvents();
                EXPECT_EQ(boxes(), expectedBoxes);
                EXPECT_FALSE(main().playing());
                EXPECT_FALSE(programState().gvPlayState.state().toBool());
                EXPECT_TRUE(main().isEnabled());
                EXPECT_FALSE(
                    control<QLabel>(main(), "pnlMsg")->text().endsWith(QLatin1String(" playing")));
            }};
    }
    // Transform pressed, its real-time pass failing for want of an output; the offer answered.
    // The boxes are counted over the runs.
    Person::Step transformed(forms::Answer answer, int failures)
    {
        return {QStringLiteral("transformed"),
                [this, answer] {
                    prompts_.queueAnswer(answer);
                    click(control<QPushButton>(main(), "cmdSlowPlay"));
                },
                [this, failures] {
                    return boxesBeginning(QStringLiteral("The slowdown process")).size()
                           == failures;
                },
                [this, failures] {
                    EXPECT_EQ(boxesBeginning(QStringLiteral("The slowdown process")),
                              QStringList(failures, passFailed));
                    EXPECT_TRUE(programState().gvSlowMode);
                }};
    }

    QString tone_;
};

// Space, F7 and Transform each tell why nothing sounds, once, and the window stays usable: a later
// key tells nothing again, the recorder tells of the missing input, and the program leaves through
// File > Exit.
TEST_F(NoSoundDevice, SpaceF7AndTransformSaySoOnceAndTheWindowStaysUsable)
{
    const std::vector<Person::Step> firstRun{
        {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
        opened(),
        pressed(QStringLiteral("space"), Qt::Key_Space, 1),
        pressed(QStringLiteral("space-again"), Qt::Key_Space, 1),
        pressed(QStringLiteral("f7"), Qt::Key_F7, 1),
        transformed(forms::Answer::No, 1),
        {QStringLiteral("still-real-time"),
         {},
         {},
         [this] {
             mci::test::drainEvents();
             EXPECT_TRUE(main().isEnabled());
             EXPECT_FALSE(programState().gvSlowedFileReady);
             EXPECT_TRUE(programState().gvRealtime);
             EXPECT_EQ(boxesBeginning(QStringLiteral("No sound output")), QStringList{noOutput});
             EXPECT_EQ(boxes(), 2);
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(firstRun, 1), 0);
    endRun();

    // A new run tells again, whichever key comes first; Yes to the offer makes the slowed loop
    // without playing it live, and its replay finds the output told of already.
    const std::vector<Person::Step> secondRun{
        {QStringLiteral("second-start"), {}, [] { return startedUp(); }, {}},
        opened(),
        pressed(QStringLiteral("f7-first"), Qt::Key_F7, 3),
        transformed(forms::Answer::Yes, 2),
        {QStringLiteral("rendered"),
         {},
         [] { return programState().gvSlowedFileReady; },
         [this] {
             mci::test::drainEvents();
             EXPECT_TRUE(main().isEnabled());
             EXPECT_FALSE(programState().gvRealtime);
             EXPECT_FALSE(programState().gvPlayState.state().toBool());
             EXPECT_GT(QFileInfo(path(QStringLiteral("tempslow.wav"))).size(), 44);
             EXPECT_EQ(boxesBeginning(QStringLiteral("No sound output")),
                       QStringList({noOutput, noOutput}));
             EXPECT_EQ(boxes(), 4);
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(secondRun, 20), 0);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

// The recorder's Record tells of the missing input once, counts no seconds, and closes.
TEST_F(NoSoundDevice, TheRecordersRecordSaysThereIsNoInput)
{
    const QString take = path(QStringLiteral("take.wav"));
    const std::vector<Person::Step> steps{
        {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
        {QStringLiteral("recorded"),
         [&] {
             WhenModal recorder([&](QWidget& modal) {
                 auto& form = dynamic_cast<recordForm&>(modal);
                 prompts_.queueFile(take);
                 click(form.cmdChooseFile);
                 for (int press = 0; press < 2; ++press) {
                     click(form.mmWave->bar()->button(mci::Button::Record));
                     mci::test::drainEvents();
                 }
                 EXPECT_FALSE(form.Timer1->isActive());
                 EXPECT_FALSE(form.lblTime->text().contains(QLatin1String("recorded")));
                 prompts_.queueAnswer(forms::Answer::No);
                 form.close();
             });
             choose(main(), {QStringLiteral("Recorder")});
         },
         {},
         [this, take] {
             mci::test::drainEvents();
             EXPECT_EQ(shownMessages(),
                       (QStringList{noDrive, noInput, QStringLiteral("Save file %1?").arg(take)}));
             EXPECT_TRUE(main().isEnabled());
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(steps, 1), 0);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
