#include "tests/program/program_fixture.h"

#include "app/dbversion.h"
#include "app/frmAbout.h"
#include "app/frmOptions.h"
#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "tests/app/test_database.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace lentaro::test {
namespace {

constexpr int songRate = 44100;
constexpr int songSeconds = 2;
// Two tones, so that what is heard tells the channels apart.
constexpr double leftHz = 440;
constexpr double rightHz = 660;
constexpr double pi = 3.14159265358979323846;

constexpr int notOpen = static_cast<int>(mci::Mode::NotOpen);
constexpr int stopped = static_cast<int>(mci::Mode::Stopped);

// song.wav: two seconds of 16-bit stereo sine, left 440 Hz and right 660 Hz.
void writeSong(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::vector<std::int16_t> samples;
    for (int frame = 0; frame < songRate * songSeconds; ++frame) {
        const double t = static_cast<double>(frame) / songRate;
        samples.push_back(
            static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * pi * leftHz * t))));
        samples.push_back(
            static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * pi * rightHz * t))));
    }
    mci::test::writeWave16(path.toStdString(), songRate, 2, samples);
}

// What a stretch of sound holds, measured: how long it sounds (from its first to its last
// sample that is not silent) and the pitch of each channel (rising zero crossings a second).
struct Heard {
    int channels = 0;
    int rate = 0;
    double seconds = 0;
    std::vector<double> pitches;
};

Heard listen(const mci::test::WaveContents& sound)
{
    Heard heard{sound.channels, sound.rate, 0, {}};
    if (sound.channels <= 0 || sound.rate <= 0)
        return heard;
    const auto frames = static_cast<std::ptrdiff_t>(sound.samples.size()) / sound.channels;
    const auto sample = [&](std::ptrdiff_t frame, int channel) {
        return sound.samples[static_cast<std::size_t>(frame * sound.channels + channel)];
    };
    const auto silent = [&](std::ptrdiff_t frame) {
        for (int channel = 0; channel < sound.channels; ++channel) {
            if (sample(frame, channel) != 0)
                return false;
        }
        return true;
    };
    std::ptrdiff_t first = 0;
    while (first < frames && silent(first))
        ++first;
    std::ptrdiff_t end = frames;
    while (end > first && silent(end - 1))
        --end;
    heard.seconds = static_cast<double>(end - first) / sound.rate;
    for (int channel = 0; channel < sound.channels; ++channel) {
        int rises = 0;
        for (std::ptrdiff_t frame = first + 1; frame < end; ++frame)
            rises += sample(frame - 1, channel) < 0 && sample(frame, channel) >= 0;
        heard.pitches.push_back(heard.seconds > 0 ? rises / heard.seconds : 0);
    }
    return heard;
}

// The controls of the window that show a tooltip.
QStringList tooltipsOf(QWidget& window)
{
    QStringList named;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->toolTip().isEmpty())
            named << control->objectName();
    }
    return named;
}

// The program from a first start with a fresh program folder to a second start in that folder,
// on a machine without a CD drive.
class FirstRun : public ProgramInUse
{
protected:
    void SetUp() override
    {
        ProgramInUse::SetUp();
        song_ = path(QStringLiteral("music/song.wav"));
        writeSong(song_);
    }

    QString song_;
};

TEST_F(FirstRun, OpenPlaySwitchViewsTurnOffTooltipsExitAndStartAgain)
{
    // The splash, seen while the main window is not yet shown.
    struct Splash {
        bool seen = false;
        bool buttonsHidden = false;
    } splash;
    QTimer splashWatch;
    splashWatch.setInterval(5);
    QObject::connect(&splashWatch, &QTimer::timeout, [&] {
        frmAbout* about = forms::loadedFormOf<frmAbout>();
        frmMain* main = mainWindow();
        if (!splash.seen && about && !about->isHidden() && (!main || main->isHidden())) {
            splash = {true, about->cmdOK->isHidden() && about->Command1->isHidden()};
        }
    });
    splashWatch.start();

    const auto exitThroughTheMenu = [this](int endsBefore) {
        return Person::Step{
            QStringLiteral("exit"),
            [this, endsBefore] {
                QPointer<frmMain> main(mainWindow());
                choose(*main, {QStringLiteral("File"), QStringLiteral("Exit")});
                // A closed window is deleted once control is back in the loop.
                ASSERT_TRUE(main);
                EXPECT_EQ(processEnd_.ends, endsBefore + 1);
                EXPECT_EQ(control<mci::MMControl>(*main, "WaveControl")->mode(), notOpen);
                EXPECT_EQ(control<mci::MMControl>(*main, "CDControl")->mode(), notOpen);
            },
            {},
            {}};
    };

    int waveFileID = 0;
    QStringList tooltipsAtStart;
    QStringList tooltipsWhileSettingsOpen;
    const std::vector<Person::Step> firstRun{
        {QStringLiteral("started"),
         {},
         [&] { return startedUp(); },
         [&] {
             frmMain& main = *mainWindow();
             EXPECT_TRUE(splash.seen);
             EXPECT_TRUE(splash.buttonsHidden);
             EXPECT_EQ(forms::loadedFormOf<frmAbout>(), nullptr);
             EXPECT_TRUE(main.state().cdView);
             EXPECT_EQ(control<QLabel>(main, "lblMMCtrl")->text(), QStringLiteral("CD"));
             EXPECT_TRUE(QFileInfo(path(QStringLiteral("lentaro.mdb"))).isFile());
             EXPECT_EQ(readDbVersion(), QStringLiteral("7"));
             tooltipsAtStart = tooltipsOf(main);
         }},
        {QStringLiteral("opened"),
         [&] {
             prompts_.queueFile(song_);
             press(*mainWindow(), Qt::Key_O, Qt::ControlModifier);
         },
         [&] { return !mainWindow()->state().cdView; },
         [&] {
             frmMain& main = *mainWindow();
             EXPECT_EQ(main.windowTitle(), QStringLiteral("Lentaro: ") + song_);
             EXPECT_EQ(control<QLabel>(main, "pnlTrackLength")->text(),
                       QStringLiteral("Wave File Length 00:02"));
             EXPECT_EQ(control<QLabel>(main, "lblMMCtrl")->text(), QStringLiteral("Wave"));
             EXPECT_TRUE(control<QTableView>(main, "tgTracks")->isHidden());
             TestDatabase db(path(QStringLiteral("lentaro.mdb")));
             EXPECT_EQ(db.rows(QStringLiteral("SELECT waveFileName FROM \"Wave Files\"")),
                       QStringList{QStringLiteral("song.wav")});
             EXPECT_EQ(db.rows(QStringLiteral("SELECT startTime, endTime, Comment FROM "
                                              "WaveLoopPoints")),
                       QStringList{QStringLiteral("1|2000|Entire file in this loop")});
             EXPECT_EQ(main.mruPath(1), song_);
             waveFileID = main.state().currentWaveFileID;
             EXPECT_NE(waveFileID, 0);
         }},
        {QStringLiteral("playing"),
         [&] { press(*mainWindow(), Qt::Key_Space); },
         [&] {
             return control<QLabel>(*mainWindow(), "pnlMsg")->text()
                    == QStringLiteral("Wave file ") + song_ + QStringLiteral(" playing");
         },
         {}},
        {QStringLiteral("played"),
         {},
         [&] {
             return control<mci::MMControl>(*mainWindow(), "WaveControl")->mode() == stopped
                    && !control<QLabel>(*mainWindow(), "pnlMsg")
                            ->text()
                            .endsWith(QStringLiteral(" playing"));
         },
         [&] {
             const Heard heard = listen(mci::test::readWave(capture_.toStdString()));
             EXPECT_EQ(heard.channels, 2);
             EXPECT_EQ(heard.rate, songRate);
             // Once, whole: two seconds, not four.
             EXPECT_NEAR(heard.seconds, songSeconds, 0.001);
             ASSERT_EQ(heard.pitches.size(), 2u);
             EXPECT_NEAR(heard.pitches[0], leftHz, 1);
             EXPECT_NEAR(heard.pitches[1], rightHz, 1);
         }},
        {QStringLiteral("cd-view-normal"),
         [&] {
             choose(*mainWindow(),
                    {QStringLiteral("View"), QStringLiteral("CD View"), QStringLiteral("Normal")});
         },
         [&] { return mainWindow()->state().cdView; },
         [&] {
             EXPECT_EQ(mainWindow()->state().currentView(), 1);
             EXPECT_EQ(control<QLabel>(*mainWindow(), "lblMMCtrl")->text(), QStringLiteral("CD"));
         }},
        {QStringLiteral("wave-view-again"),
         [&] { press(*mainWindow(), Qt::Key_W, Qt::ControlModifier); },
         [&] { return !mainWindow()->state().cdView; },
         [&] {
             EXPECT_EQ(mainWindow()->state().currentWaveFileID, waveFileID);
             TestDatabase db(path(QStringLiteral("lentaro.mdb")));
             EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM \"Wave Files\"")).toInt(), 1);
             EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM WaveLoopPoints")).toInt(), 1);
         }},
        {QStringLiteral("tooltips-off"),
         [&] {
             frmMain& main = *mainWindow();
             WhenModal settings([&](QWidget& modal) {
                 auto& dialog = dynamic_cast<frmOptions&>(modal);
                 clickTab(*dialog.tabOptions, QStringLiteral("Interface"));
                 click(captioned<QCheckBox>(dialog, QStringLiteral("Show Tooltips")));
                 tooltipsWhileSettingsOpen = tooltipsOf(main);
                 saveScreenshot(dialog, QStringLiteral("07-settings-dialog"));
                 click(captioned<QPushButton>(dialog, QStringLiteral("Close")));
             });
             choose(main, {QStringLiteral("Settings")});
             EXPECT_TRUE(settings.acted());
         },
         [] { return QApplication::activeModalWidget() == nullptr; },
         [&] {
             EXPECT_FALSE(tooltipsAtStart.isEmpty());
             EXPECT_EQ(tooltipsWhileSettingsOpen, QStringList());
             EXPECT_EQ(mainWindow()->state().currentMMControl()->updateInterval(),
                       frmMain::liveUpdateInterval);
             EXPECT_EQ(storedPreference(QStringLiteral("ShowTooltips"))
                           .value_or(registry::Value())
                           .bytes(),
                       std::string("False"));
         }},
        exitThroughTheMenu(0),
    };
    EXPECT_EQ(run(firstRun, 1), 0);
    EXPECT_EQ(processEnd_.ends, 1);
    EXPECT_EQ(runner_.initResult, 1);
    EXPECT_EQ(runner_.cleanUpResult, 1);
    endRun();

    const std::vector<Person::Step> secondRun{
        {QStringLiteral("second-start"),
         {},
         [&] { return startedUp(); },
         [&] {
             frmMain& main = *mainWindow();
             QStringList recent;
             for (QAction* item : control<QMenu>(main, "menuFile")->actions()) {
                 if (item->isVisible()
                     && readCaption(item->text()).endsWith(QStringLiteral(".wav")))
                     recent << readCaption(item->text());
             }
             EXPECT_EQ(recent, QStringList{song_});
             EXPECT_EQ(tooltipsOf(main), QStringList());
         }},
        exitThroughTheMenu(1),
    };
    EXPECT_EQ(run(secondRun, 9), 0);
    EXPECT_EQ(processEnd_.ends, 2);
    // The first start's only word: there is no drive to choose.
    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral("No CD drive was found. Once one is "
                                                          "connected, choose it in Settings with "
                                                          "\"Choose/Change CD Drive\".")});
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
