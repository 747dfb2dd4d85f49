#include "tests/program/program_fixture.h"

#include "app/programstate.h"
#include "loops/frmTrim.h"
#include "loops/makeLoopPoints.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"
#include "platform/mci/MMControl.h"
#include "tests/app/test_database.h"
#include "tests/engine/support/tone.h"
#include "tests/platform/mci/wave_rig.h"
#include "tests/program/person.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>

namespace lentaro::test {
namespace {

constexpr int rate = 44100;
constexpr double pi = 3.14159265358979323846;
// Two seconds of each tone, one after the other: a loop marked inside the middle two seconds
// holds 440 Hz alone.
constexpr double tones[] = {330, 440, 550};
constexpr int toneMs = 2000;
// 440 Hz two half steps down.
const double slowedHz = 440 * std::pow(2.0, -2.0 / 12);

// tones.wav: 16-bit mono, the three tones.
void writeTones(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::vector<std::int16_t> samples;
    for (double hz : tones) {
        for (int frame = 0; frame < rate * toneMs / 1000; ++frame) {
            samples.push_back(static_cast<std::int16_t>(
                std::lround(12000 * std::sin(2 * pi * hz * frame / rate))));
        }
    }
    mci::test::writeWave16(path.toStdString(), rate, 1, samples);
}

// How many frames the capture file holds.
std::size_t framesHeard(const QString& capture)
{
    const mci::test::WaveContents heard = mci::test::readWave(capture.toStdString());
    return heard.channels > 0 ? heard.samples.size() / static_cast<std::size_t>(heard.channels) : 0;
}

// The pitch of the capture's first channel over the steady middle of frames [from, to).
double pitchHeard(const QString& capture, std::size_t from, std::size_t to)
{
    const mci::test::WaveContents heard = mci::test::readWave(capture.toStdString());
    const auto channels = static_cast<std::size_t>(std::max(heard.channels, 1));
    std::vector<double> x;
    for (std::size_t frame = from; frame < to && frame * channels < heard.samples.size(); ++frame)
        x.push_back(heard.samples[frame * channels]);
    const kvtest::Middle middle = kvtest::middleOf(x);
    return kvtest::measureFrequency(x, rate, middle.from, middle.to);
}

// The loop grid's column with that caption.
int gridColumn(QTableView& grid, const QString& caption)
{
    QAbstractItemModel& model = *grid.model();
    for (int column = 0; column < model.columnCount(); ++column) {
        if (model.headerData(column, Qt::Horizontal).toString() == caption)
            return column;
    }
    ADD_FAILURE() << "no column " << caption.toStdString();
    return 0;
}

void clickCell(QTableView& grid, int row, int column)
{
    const QRect cell = grid.visualRect(grid.model()->index(row, column));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
}

// The cell's editor, open on the cell.
QLineEdit* openEditor(QTableView& grid)
{
    for (QLineEdit* open : grid.viewport()->findChildren<QLineEdit*>()) {
        if (open->isVisible())
            return open;
    }
    return nullptr;
}

// A cell of the chosen loop's row typed in as a person does: a click on the cell opens it (once
// the double-click time has passed), then the text and Enter.
std::vector<Person::Step> typeInCell(const std::function<QTableView&()>& grid,
                                     const QString& caption, const QString& text)
{
    constexpr int chosenRow = 1;
    return {{caption + QStringLiteral("-open"),
             [grid, caption] { clickCell(grid(), chosenRow, gridColumn(grid(), caption)); },
             [grid] { return openEditor(grid()) != nullptr; },
             {}},
            {caption + QStringLiteral("-typed"),
             [grid, text] {
                 QLineEdit& editor = *openEditor(grid());
                 QTest::keyClicks(&editor, text);
                 QTest::keyClick(&editor, Qt::Key_Return);
             },
             [grid] { return openEditor(grid()) == nullptr; },
             {}}};
}

// The trim window over the main window, when it is open.
frmTrim* trimWindow(frmMain& main)
{
    for (frmTrim* trim : main.findChildren<frmTrim*>()) {
        if (trim->isVisible())
            return trim;
    }
    return nullptr;
}

// A speed or pitch box: its text replaced by what is typed, then Enter.
void typeInBox(QLineEdit& box, const QString& text)
{
    box.setFocus();
    box.selectAll();
    QTest::keyClicks(&box, text);
    QTest::keyClick(&box, Qt::Key_Return);
}

// A loop of the tones marked while they play, slowed down and pitched down in "SlowPlay",
// trimmed, annotated and exported; after the program ends and starts again, everything is where
// it was left and Transform plays the loop as it was set.
class SlowPlayRoundTrip : public ProgramInUse
{
protected:
    void SetUp() override
    {
        ProgramInUse::SetUp();
        tones_ = path(QStringLiteral("music/tones.wav"));
        writeTones(tones_);
    }

    int position() const { return control<mci::MMControl>(main(), "WaveControl")->position(); }
    QList<QStringList> loopRows() const
    {
        TestDatabase db(path(QStringLiteral("lentaro.mdb")));
        QList<QStringList> rows;
        for (const QString& row :
             db.rows(QStringLiteral("SELECT startTime, endTime, chords, lyrics, lastPct FROM "
                                    "WaveLoopPoints ORDER BY startTime")))
            rows << row.split(QLatin1Char('|'));
        return rows;
    }
    QString pitchStored() const
    {
        return TestDatabase(path(QStringLiteral("lentaro.mdb")))
            .value(QStringLiteral("SELECT lastPitchChange FROM \"Wave Files\""))
            .toString();
    }

    Person::Step opened()
    {
        return {QStringLiteral("opened"),
                [this] {
                    prompts_.queueFile(tones_);
                    press(main(), Qt::Key_O, Qt::ControlModifier);
                },
                [] { return !main().state().cdView; },
                {}};
    }
    // The middle loop chosen and Transform pressed: the pass over the loop is started.
    Person::Step transformed()
    {
        return {QStringLiteral("transformed"),
                [] {
                    clickCell(*control<QTableView>(main(), "loopPoints"), 1,
                              gridColumn(*control<QTableView>(main(), "loopPoints"),
                                         QStringLiteral("Start (ms)")));
                    click(control<QPushButton>(main(), "cmdSlowPlay"));
                },
                [] { return programState().gvSlowMode && programState().gvSlowedFileReady; },
                {}};
    }
    // Three ends of the replays counted: the last replay, as long as the slowed file, ends the
    // capture, and two whole replays came before it.
    Person::Step repeating()
    {
        return {QStringLiteral("repeating"),
                [this] {
                    replayEnds_.clear();
                    QObject::connect(control<mci::MMControl>(main(), "WaveControl"),
                                     &mci::MMControl::done, &main(),
                                     [this](int) { replayEnds_.push_back(framesHeard(capture_)); });
                },
                [this] { return replayEnds_.size() >= 3; },
                [this] {
                    QObject::disconnect(control<mci::MMControl>(main(), "WaveControl"),
                                        &mci::MMControl::done, &main(), nullptr);
                    const std::size_t once = framesHeard(path(QStringLiteral("tempslow.wav")));
                    const std::size_t end = framesHeard(capture_);
                    ASSERT_GT(once, static_cast<std::size_t>(rate / 2));
                    ASSERT_GE(end - replayEnds_[0], 2 * once - rate / 100);
                    EXPECT_NEAR(kvtest::cents(pitchHeard(capture_, end - once, end) / slowedHz), 0,
                                5);
                }};
    }
    QString tones_;
    std::vector<std::size_t> replayEnds_;
};

TEST_F(SlowPlayRoundTrip, AMarkedLoopSlowedTrimmedAndAnnotatedIsThereAtTheNextStart)
{
    int firstMark = 0;
    int trimmedEnd = 0;
    const QString notes = sound_.filePath(QStringLiteral("notes.txt"));
    const auto speed = [] { return control<QLineEdit>(main(), "txtSlowPct(0)"); };
    const auto halfSteps = [] { return control<QLineEdit>(main(), "txtSlowPct(1)"); };
    const auto maker = [] {
        return qobject_cast<makeLoopPoints*>(QApplication::activeModalWidget());
    };

    const auto grid = []() -> QTableView& { return *control<QTableView>(main(), "loopPoints"); };
    std::vector<Person::Step> firstRun{
        {QStringLiteral("started"), {}, [] { return startedUp(); }, {}},
        opened(),
        {QStringLiteral("playing"),
         [] { press(main(), Qt::Key_Space); },
         [this] { return position() >= toneMs + 200; },
         {}},
        {QStringLiteral("first-mark"),
         [] { click(control<QPushButton>(main(), "cmdStartNewLoop")); },
         [&] { return maker() && position() >= 2 * toneMs - 300; },
         {}},
        {QStringLiteral("second-mark"),
         [&] { click(maker()->cmdCompletePreviousLoop); },
         [&] { return position() >= 3 * toneMs - 500; },
         {}},
        {QStringLiteral("kept"), [&] { click(maker()->btnKeep); },
         [&] { return maker() == nullptr && loopRows().size() == 3; },
         [&] {
             const QList<QStringList> rows = loopRows();
             // The whole file, then the two loops the three marks made.
             EXPECT_EQ(rows[0].mid(0, 2), QStringList({"1", "6000"}));
             firstMark = rows[1][0].toInt();
             EXPECT_GT(firstMark, toneMs);
             EXPECT_LT(rows[1][1].toInt(), 2 * toneMs);
             EXPECT_EQ(rows[1][1], rows[2][0]);
             EXPECT_LT(rows[2][1].toInt(), 3 * toneMs);
         }},
        transformed(),
        {QStringLiteral("speed-70"),
         [&] { typeInBox(*speed(), QStringLiteral("70")); },
         [] { return main().state().slowDownPercent() == 70 && programState().gvSlowedFileReady; },
         {}},
        {QStringLiteral("two-half-steps-down"),
         [&] { typeInBox(*halfSteps(), QStringLiteral("-2")); },
         [] { return main().state().pitchChange() == -200 && programState().gvSlowedFileReady; },
         [&] { EXPECT_EQ(speed()->text(), QStringLiteral("70")); }},
        repeating(),
        {QStringLiteral("previous-view"),
         [] { click(control<QPushButton>(main(), "cmdPrevView")); },
         [] { return !programState().gvSlowMode && !main().state().cdView; },
         {}},
        {QStringLiteral("trim-open"),
         [] { click(control<QPushButton>(main(), "btnLoopPlay")); },
         [] { return trimWindow(main()) != nullptr; },
         {}},
        {QStringLiteral("trimmed"),
         [&] {
             frmTrim& trim = *trimWindow(main());
             trimmedEnd = trim.slStart[1]->value() - 300;
             trim.slStart[1]->setValue(trimmedEnd);
             prompts_.queueAnswer(forms::Answer::Yes);
             click(trim.cmdSave);
             click(trim.cmdClose);
         },
         [] { return trimWindow(main()) == nullptr; },
         [&] { EXPECT_EQ(loopRows()[1][1].toInt(), trimmedEnd); }},
        {QStringLiteral("notes-typed"),
         {},
         {},
         [this] {
             EXPECT_EQ(loopRows()[1][2], QStringLiteral("Am G"));
             EXPECT_EQ(loopRows()[1][3], QStringLiteral("la la"));
         }},
        {QStringLiteral("exported"),
         [&] {
             prompts_.queueFile(notes);
             choose(main(), {QStringLiteral("File"), QStringLiteral("Save Lyrics/Chords")});
         },
         [&] { return QFileInfo::exists(notes); },
         [&] {
             QFile written(notes);
             ASSERT_TRUE(written.open(QIODevice::ReadOnly));
             EXPECT_EQ(written.readAll(), QByteArray("Am G\r\nla la\r\n"));
         }},
        exitThroughTheMenu(),
    };
    // The notes are typed once the trim window is closed.
    const auto notesAt =
        std::find_if(firstRun.begin(), firstRun.end(), [](const Person::Step& step) {
            return step.name == QStringLiteral("notes-typed");
        });
    std::vector<Person::Step> typing =
        typeInCell(grid, QStringLiteral("Chords"), QStringLiteral("Am G"));
    for (Person::Step& step : typeInCell(grid, QStringLiteral("Lyrics"), QStringLiteral("la la")))
        typing.push_back(step);
    firstRun.insert(notesAt, typing.begin(), typing.end());
    EXPECT_EQ(run(firstRun, 1), 0);
    endRun();

    // What the next start finds stored.
    const QList<QStringList> stored = loopRows();
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(stored[1],
              QStringList({QString::number(firstMark), QString::number(trimmedEnd),
                           QStringLiteral("Am G"), QStringLiteral("la la"), QStringLiteral("70")}));
    EXPECT_EQ(pitchStored(), QStringLiteral("-200"));

    const std::vector<Person::Step> secondRun{
        {QStringLiteral("second-start"), {}, [] { return startedUp(); }, {}},
        opened(),
        transformed(),
        {QStringLiteral("speed-and-pitch-shown"),
         {},
         {},
         [&] {
             EXPECT_EQ(speed()->text(), QStringLiteral("70"));
             EXPECT_EQ(control<QSlider>(main(), "slSlowPct(0)")->value(), 70);
             EXPECT_EQ(halfSteps()->text(), QStringLiteral("-2"));
             EXPECT_EQ(control<QSlider>(main(), "slSlowPct(1)")->value(), -200);
         }},
        repeating(),
        exitThroughTheMenu(),
    };
    EXPECT_EQ(run(secondRun, 20), 0);
    // A first start on a machine without a CD drive says so; then the one question asked.
    EXPECT_EQ(shownMessages(),
              (QStringList{QStringLiteral("No CD drive was found. Once one is connected, choose it "
                                          "in Settings with \"Choose/Change CD Drive\"."),
                           QStringLiteral("Are you sure that you want to save the current trim "
                                          "points as the new start and end points for the "
                                          "loop?")}));
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

} // namespace
} // namespace lentaro::test
