// A musician's road to the tempo of a click track: a loop of it marked while it plays,
// transformed, shown in the waveform view by its button, a selection clicked over the clicks the
// view draws, the rhythm grid aligned to it and its tempo read.
#include "tests/program/program_fixture.h"

#include "app/programstate.h"
#include "controls/wgrid2/wGrid2.h"
#include "loops/makeLoopPoints.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "tests/app/test_database.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"
#include "waveview/wavechart.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lentaro::test {
namespace {

constexpr int rate = 44100;
constexpr int beats = 20;
constexpr int beatFrames = rate / 2; // 120 beats per minute
constexpr double pi = 3.14159265358979323846;
// Beats between the selection's ends.
constexpr int selectedBeats = 6;

// clicks.wav: 16-bit mono, a 5 ms burst of 1 kHz at 0.9 of full scale on every beat, 10 s.
void writeClicks(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::vector<std::int16_t> samples(std::size_t(beats * beatFrames), 0);
    for (int beat = 0; beat < beats; ++beat) {
        for (int frame = 0; frame < 220; ++frame) {
            samples[std::size_t(beat * beatFrames + frame)] = static_cast<std::int16_t>(
                std::lround(0.9 * 32767 * std::sin(2 * pi * 1000.0 * frame / rate)));
        }
    }
    mci::test::writeWave16(path.toStdString(), rate, 1, samples);
}

frmScrollTime* waveView()
{
    frmScrollTime* view = forms::loadedFormOf<frmScrollTime>();
    return view && view->isVisible() ? view : nullptr;
}

void clickChart(frmScrollTime& view, Qt::MouseButton button, int x)
{
    QTest::mouseClick(&view.chart(), button, {}, QPoint(x, view.chart().height() / 2));
}

class WaveViewWalk : public ProgramInUse
{
protected:
    void SetUp() override
    {
        ProgramInUse::SetUp();
        clicks_ = path(QStringLiteral("music/clicks.wav"));
        writeClicks(clicks_);
        // The loop plays and is slowed in real time, four times as fast as a person hears it.
        qputenv("LENTARO_AUDIO_SPEED", "4");
    }
    void TearDown() override
    {
        qunsetenv("LENTARO_AUDIO_SPEED");
        ProgramInUse::TearDown();
    }

    int position() const { return control<mci::MMControl>(main(), "WaveControl")->position(); }
    int loops() const
    {
        return TestDatabase(path(QStringLiteral("lentaro.mdb")))
            .value(QStringLiteral("SELECT COUNT(*) FROM WaveLoopPoints"))
            .toInt();
    }
    // A picture of the waveform view beside the main window's, for the step numbered so.
    static void viewPicture(const char* name)
    {
        if (frmScrollTime* view = waveView())
            saveScreenshot(*view, QString::fromLatin1(name));
    }

    QString clicks_;
    std::vector<int> clicksSeen_;
};

TEST_F(WaveViewWalk, AClickTrackAt120BeatsPerMinuteReadsItsTempoInTheWaveView)
{
    const auto maker = [] {
        return qobject_cast<makeLoopPoints*>(QApplication::activeModalWidget());
    };
    const QStringList glissom{QStringLiteral("Glissom")};
    QString tempo;
    qint64 heardFrom = 0;
    const std::vector<Person::Step> steps{
        {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
        {QStringLiteral("click-track-opened"),
         [this] {
             prompts_.queueFile(clicks_);
             press(main(), Qt::Key_O, Qt::ControlModifier);
         },
         [] { return !main().state().cdView; },
         {}},
        {QStringLiteral("playing"),
         [] { press(main(), Qt::Key_Space); },
         [this] { return position() >= 1100; },
         {}},
        {QStringLiteral("loop-started"),
         [] { click(control<QPushButton>(main(), "cmdStartNewLoop")); },
         [&] { return maker() && position() >= 5100; },
         {}},
        {QStringLiteral("loop-kept"),
         [&] { click(maker()->btnKeep); },
         [&] { return maker() == nullptr && loops() == 2; },
         {}},
        {QStringLiteral("transformed"), [] { click(control<QPushButton>(main(), "cmdSlowPlay")); },
         [] {
             return programState().gvSlowMode && programState().gvSlowedFileReady
                    && control<QPushButton>(main(), "cmdGraphic")->isEnabled();
         },
         [] { EXPECT_EQ(main().state().slowDownPercent(), 50); }},
        {QStringLiteral("wave-view"), [] { click(control<QPushButton>(main(), "cmdGraphic")); },
         [] { return waveView() != nullptr; }, [] { viewPicture("27-wave-view-window"); }},
        {QStringLiteral("wave-view-widened"),
         // The person widens the view to see the beats apart.
         // Both sides of the new size reached, so the columns are read off the final layout
         // (a loaded machine may hand the view its width and its height in separate events).
         [] { waveView()->resize(1500, 450); },
         [] {
             return waveView()->size() == QSize(1500, 450) && waveView()->chart().width() >= 1500;
         },
         [this] {
             clicksSeen_ = clickColumns(*waveView());
             // About eight beats of the loop, slowed to twice their length.
             ASSERT_GE(clicksSeen_.size(), std::size_t(selectedBeats + 2));
             viewPicture("28-wave-view-widened-window");
         }},
        {QStringLiteral("selection"),
         [this] {
             frmScrollTime& view = *waveView();
             clickChart(view, Qt::LeftButton, clicksSeen_[1]);
             clickChart(view, Qt::RightButton, clicksSeen_[1 + selectedBeats]);
         },
         [this] {
             return waveView()->selection.endMarker.pixelPosition()
                    == clicksSeen_[1 + selectedBeats];
         },
         [this] {
             EXPECT_EQ(waveView()->selection.startMarker.pixelPosition(), clicksSeen_[1]);
             viewPicture("29-selection-window");
         }},
        {QStringLiteral("grid-aligned"),
         [&] {
             prompts_.queueInput(QString::number(selectedBeats));
             choose(*waveView(), glissom + QStringList{"Align Grid To Selection"});
         },
         [] { return !waveView()->wGrid21->isHidden(); },
         [this] {
             // A beat line on each click of the selection (the grid starts a whole number of
             // measures before it). Each click is found to within a chart column, and the lines
             // between the two that set the selection share both errors: two columns at most.
             const wGrid2& grid = *waveView()->wGrid21;
             for (int beat = 1; beat <= 1 + selectedBeats; ++beat) {
                 int nearest = std::numeric_limits<int>::max();
                 for (int line = 1; line <= 30; ++line) {
                     const int column = grid.BeatPosition(line) / 15;
                     if (column >= 0)
                         nearest =
                             std::min(nearest, std::abs(column - clicksSeen_[std::size_t(beat)]));
                 }
                 EXPECT_LE(nearest, 2) << "click " << beat;
             }
             viewPicture("30-grid-aligned-window");
         }},
        {QStringLiteral("tempo"),
         [&] {
             choose(*waveView(), glissom + QStringList{"Beats Per Minute..."});
             tempo =
                 prompts_.messageBoxes().empty() ? QString() : prompts_.messageBoxes().back().text;
         },
         {},
         [&] {
             const QRegularExpression read(QStringLiteral(
                 R"(^Slowed-down tempo is ([0-9.]+) beats per minute\.\r\n\r\nOriginal tempo: ([0-9.]+)$)"));
             const QRegularExpressionMatch shown = read.match(tempo);
             ASSERT_TRUE(shown.hasMatch()) << tempo.toStdString();
             EXPECT_NEAR(shown.captured(1).toDouble(), 60.0, 0.1 + 1e-9);
             EXPECT_NEAR(shown.captured(2).toDouble(), 120.0, 0.2 + 1e-9);
         }},
        {QStringLiteral("stopped"),
         [] { QTest::keyClick(waveView(), Qt::Key_Space); },
         [] { return !main().playing(); },
         {}},
        {QStringLiteral("keypad-beat"),
         [&] {
             heardFrom = QFileInfo(capture_).size();
             QTest::keyClick(waveView(), Qt::Key_Plus, Qt::KeypadModifier);
         },
         // Two seconds of the slowed loop heard since.
         [&] { return QFileInfo(capture_).size() > heardFrom + 2 * rate * 2 * 2; },
         [&] {
             // The keypad's plus plays the grid's next beat, one beat long, from its line on a
             // click, and the sound device hears it.
             const frmScrollTime& view = *waveView();
             const mci::MMControl& playing = *main().state().currentMMControl();
             EXPECT_NEAR(playing.to() - playing.from(), view.gridWidthMs(), 1.5);
             const mci::test::WaveContents slowed = mci::test::readWave(
                 control<mci::MMControl>(main(), "WaveControl")->fileName().toStdString());
             const mci::test::WaveContents heard = mci::test::readWave(capture_.toStdString());
             ASSERT_GT(slowed.channels, 0);
             ASSERT_GT(heard.channels, 0);
             const auto frameOf = [](int ms) { return std::size_t(std::lround(ms * 44.1)); };
             std::vector<std::int32_t> beat;
             for (std::size_t frame = frameOf(playing.from());
                  frame < frameOf(playing.to()) && frame * slowed.channels < slowed.samples.size();
                  ++frame)
                 beat.push_back(slowed.samples[frame * std::size_t(slowed.channels)]);
             ASSERT_GT(beat.size(), std::size_t(rate / 2));
             const auto peak = [&](std::size_t from, std::size_t to) {
                 std::int32_t loudest = 0;
                 for (std::size_t i = from; i < to && i < beat.size(); ++i)
                     loudest = std::max(loudest, std::abs(beat[i]));
                 return loudest;
             };
             // Its click in its first 20 ms, then quiet until the next click comes near (the
             // slowed-down click rings for some 100 ms and rises 30 ms early).
             EXPECT_GT(peak(0, rate / 50), 10000);
             EXPECT_LT(peak(rate / 10, beat.size() - rate * 4 / 100), 3000);
             const std::size_t heardFrame =
                 std::size_t(std::max<qint64>(0, heardFrom - 44) / 2 / heard.channels);
             std::vector<std::int32_t> since;
             for (std::size_t frame = heardFrame; frame * heard.channels < heard.samples.size();
                  ++frame)
                 since.push_back(heard.samples[frame * std::size_t(heard.channels)]);
             // What the device heard since the press starts with that click (the slowed loop
             // is played as it is slowed: the click, not the file's samples).
             const auto loud = std::find_if(since.begin(), since.end(), [](std::int32_t sample) {
                 return std::abs(sample) > 10000;
             });
             ASSERT_NE(loud, since.end());
             EXPECT_LT(loud - since.begin(), rate / 20);
         }},
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(steps, 21), 0);
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
