#include "tests/loops/loop_side_fixture.h"

#include "app/programstate.h"
#include "mainwindow/expansionfactor.h"
#include "platform/mci/MMControl.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace lentaro::test {
namespace {

// The "SlowPlay" view's speed and pitch controls over one wave-file loop and its temp.wav;
// the fake engine plays each pass as it makes it, a new one stopping the one before.
class SpeedAndPitch : public LoopSideWithEngineTest
{
protected:
    LoopSideRig& rig()
    {
        if (!rig_) {
            readyWithEngine();
            waveWithLoops({{1000, 3000}});
            secondsWave(path(QStringLiteral("temp.wav")), 1);
            programState().gvSlowMode = true;
            programState().gvRealtime = true;
            runner_.stopThatEnds = 1;
        }
        return *rig_;
    }

    // Starts from this speed and pitch as Transform shows them, with a finished pass.
    void startFrom(int percent, int pitch)
    {
        rig().state().setSlowDownPercent(percent);
        rig_->state().setPitchChange(pitch);
        loops_->showSpeedAndPitch();
        programState().gvSlowedFileReady = true;
        passesBefore_ = runner_.passes.size();
    }

    int passes() const { return int(runner_.passes.size() - passesBefore_); }

    static void type(QLineEdit* box, const QString& text)
    {
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    std::size_t passesBefore_ = 0;
};

TEST_F(SpeedAndPitch, PitchStepsTypedPitchAndThePitchSliderShowAndSoundTheSameCents)
{
    LoopSideRig& m = rig();
    struct Case {
        const char* name;
        std::function<void()> change;
        int pitch;
        const char* halfSteps;
        const char* cents;
        int passes;
    };
    const auto typed = [&](const char* halfSteps, const char* cents) {
        return [&m, halfSteps, cents] {
            m.txtSlowPct[1]->setText(QString::fromUtf8(halfSteps));
            type(m.txtSlowPct[2], QString::fromUtf8(cents));
        };
    };
    const auto step = [&](int index) { return [&m, index] { m.lblSteps[index]->click(); }; };
    // Every case starts from +300 cents.
    const Case cases[] = {
        {"Original Pitch", step(0), 0, "0", "0", 1},
        {"up 7", step(7), 700, "7", "0", 1},
        {"+1 Octave", step(12), 1200, "12", "0", 1},
        {"down 1", step(13), -100, "-1", "0", 1},
        {"down 7", step(19), -700, "-7", "0", 1},
        {"-1 Octave", step(24), -1200, "-12", "0", 1},
        {"-1 and -50", typed("-1", "-50"), -150, "-1", "-50", 1},
        {"2 and 0.5, a half to even", typed("2", "0.5"), 200, "2", "0", 1},
        {"1.25 half steps", typed("1.25", "0"), 125, "1", "25", 1},
        {"empty half steps count 0", typed("", "30"), 30, "0", "30", 1},
        {"empty cents count 0", typed("-2", " "), -200, "-2", "0", 1},
        {"past an octave up", typed("13", "0"), 1200, "12", "0", 1},
        {"past an octave down", typed("-12", "-1"), -1200, "-12", "0", 1},
        {"letters leave the pitch", typed("x", "0"), 300, "3", "0", 0},
        {"letters in cents leave the pitch", typed("1", "5c"), 300, "3", "0", 0},
        {"pitch slider", [&] { m.slSlowPct[1]->setValue(-450); }, -450, "-4", "-50", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startFrom(50, 300);
        c.change();
        EXPECT_EQ(m.state().pitchChange(), c.pitch);
        EXPECT_EQ(m.txtSlowPct[1]->text(), QString::fromUtf8(c.halfSteps));
        EXPECT_EQ(m.txtSlowPct[2]->text(), QString::fromUtf8(c.cents));
        EXPECT_EQ(m.slSlowPct[1]->value(), c.pitch);
        EXPECT_EQ(passes(), c.passes);
        EXPECT_EQ(m.state().slowDownPercent(), 50);
    }
    EXPECT_EQ(trappedError(), 0);
}

// Dragging shows the thumb's value, the release applies it (floored) once, and the released
// slider takes no input until the lock's timer frees it.
TEST_F(SpeedAndPitch, ADragFollowsTheThumbAndTheReleaseChangesOnceThenLocksTheSlider)
{
    LoopSideRig& m = rig();
    startFrom(60, 0);
    QSlider& speed = *m.slSlowPct[0];
    speed.setSliderDown(true);
    speed.setSliderPosition(90);
    speed.setSliderPosition(2);
    EXPECT_EQ(m.txtSlowPct[0]->text(), QStringLiteral("2"));
    EXPECT_EQ(m.state().slowDownPercent(), 2);
    EXPECT_EQ(passes(), 0);

    speed.setSliderDown(false);
    EXPECT_EQ(m.state().slowDownPercent(), 5);
    EXPECT_EQ(m.txtSlowPct[0]->text(), QStringLiteral("5"));
    EXPECT_EQ(passes(), 1);
    QTimer& freedom = *m.tmrSliderFreedom;
    EXPECT_TRUE(freedom.isActive());
    EXPECT_EQ(freedom.interval(), 300);
    EXPECT_TRUE(freedom.isSingleShot());

    // Locked: keys and clicks on the released slider do nothing; the other slider still works.
    QTest::keyClick(&speed, Qt::Key_Right);
    QTest::mouseClick(&speed, Qt::LeftButton, {}, QPoint(speed.width() - 2, speed.height() / 2));
    EXPECT_EQ(speed.value(), 5);
    EXPECT_EQ(passes(), 1);
    EXPECT_TRUE(speed.isEnabled());
    QTest::keyClick(m.slSlowPct[1], Qt::Key_Right);
    EXPECT_EQ(m.state().pitchChange(), 1);
    EXPECT_EQ(passes(), 2);

    loops_->tmrSliderFreedom_Timer();
    EXPECT_FALSE(freedom.isActive());
    QTest::keyClick(&speed, Qt::Key_Right);
    EXPECT_EQ(m.state().slowDownPercent(), 6);
    EXPECT_EQ(passes(), 3);
}

// The markers keep their shares of the file: the new, longer one has them at the same places of
// the loop.
TEST_F(SpeedAndPitch, ANewSpeedDropsTheFinishedPassKeepsTheMarkersAndSetsTheExpansionFactor)
{
    LoopSideRig& m = rig();
    ScriptedGraph graph;
    const ScopedOverride<TrimGraph> graphInPlace{trimGraph, graph};
    graph.start = 150000;
    graph.end = 450000;
    m.WaveControl->setFileName(path(QStringLiteral("tempslow.wav")));
    m.cmdGraphic->setEnabled(true);
    m.waveViewOpen = true;
    m.state().tempWavChannels = 2;
    startFrom(50, 0);
    m.lbl1005Speed->click();

    EXPECT_EQ(passes(), 1);
    EXPECT_TRUE(m.WaveControl->fileName().isEmpty());
    EXPECT_FALSE(programState().gvSlowedFileReady);
    EXPECT_FALSE(m.cmdGraphic->isEnabled());
    EXPECT_FLOAT_EQ(programState().gvExpansionFactor, 100.0f / 20 / 2);

    // The pass at a fifth of the speed writes a file two and a half times as long.
    wave_->mediaLength = 1500000;
    graph.start = graph.end = 0;
    secondsWave(path(QStringLiteral("tempslow.wav")), 1);
    runner_.complete(0);
    ASSERT_TRUE(runUntil([] { return programState().gvSlowedFileReady; }));
    EXPECT_DOUBLE_EQ(graph.start, 375000);
    EXPECT_DOUBLE_EQ(graph.end, 1125000);
}

// The channels come from what made temp.wav, else from its header; half of 100 / speed only
// when there is no temp.wav. No speed yet leaves the factor as it was.
TEST_F(SpeedAndPitch, TheExpansionFactorTakesTheChannelsFromTempWavWhenNotKnown)
{
    LoopSideRig& m = rig();
    struct Case {
        const char* name;
        int knownChannels;
        bool monoTempWav;
        int percent;
        float factor;
    };
    const Case cases[] = {
        {"two channels known", 2, true, 50, 1.0f}, {"mono temp.wav", 0, true, 50, 2.0f},
        {"no temp.wav", 0, false, 40, 50.0f / 40}, {"below the slowest speed", 1, false, 2, 20.0f},
        {"no speed yet", 1, true, 0, 7.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path(QStringLiteral("temp.wav")));
        if (c.monoTempWav)
            writeFile(QStringLiteral("temp.wav"), monoWave(QByteArray(1600, '\0')));
        m.state().tempWavChannels = c.knownChannels;
        m.state().setSlowDownPercent(c.percent);
        programState().gvExpansionFactor = 7.0f;
        expFactorSet(m.state());
        EXPECT_FLOAT_EQ(programState().gvExpansionFactor, c.factor);
    }
}

TEST_F(SpeedAndPitch, TheLoopsLastSpeedAndTheFilesLastPitchAreRestored)
{
    rig();
    struct Case {
        const char* name;
        const char* lastPct;
        const char* lastPitchChange;
        int percent;
        int pitch;
    };
    const Case cases[] = {
        {"stored", "70", "-200", 70, -200},
        {"Null", "NULL", "NULL", 50, 0},
        {"zero", "0", "0", 50, 0},
        {"out of reach", "3", "5000", 5, 1200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        execute(QStringLiteral("UPDATE WaveLoopPoints SET lastPct = %1").arg(c.lastPct));
        execute(QStringLiteral("UPDATE \"Wave Files\" SET lastPitchChange = %1")
                    .arg(c.lastPitchChange));
        loops_->rows().requery();
        EXPECT_EQ(loops_->lstPct(), c.percent);
        EXPECT_EQ(loops_->lstPitchChange(), c.pitch);
    }
}

TEST_F(SpeedAndPitch, ACdLoopTakesThePitchOfItsTrackAndNoneWithoutATrackRow)
{
    LoopSideRig& m = rig();
    execute(QStringLiteral("INSERT INTO LoopPoints (CDid, TrackNum, startTime, endTime, Comment) "
                           "VALUES (7, 2, 1000, 3000, 'track 2'), (7, 3, 5000, 8000, 'track 3')"));
    execute(QStringLiteral("INSERT INTO Tracks (CDid, TrackNum, lastPitchChange) VALUES (7, 2, "
                           "-300), (8, 3, 400)"));
    m.state().cdView = true;
    QString reason;
    ASSERT_TRUE(m.state().bindCdLoops(7, reason)) << reason.toStdString();
    loops_->rows().moveTo(0);
    EXPECT_EQ(loops_->lstPitchChange(), -300);
    loops_->rows().moveTo(1);
    EXPECT_EQ(loops_->lstPitchChange(), 0);

    // A pass stores the pitch on the track it came from (the view when Transform was pressed).
    m.state().savedCdView = true;
    m.state().setPitchChange(500);
    loops_->saveCurrentPitchChange();
    EXPECT_EQ(rows(QStringLiteral("SELECT CDid, lastPitchChange FROM Tracks ORDER BY CDid")),
              (QList<QVariantList>{{7, -300}, {8, 400}}));
    loops_->rows().moveTo(0);
    loops_->saveCurrentPitchChange();
    EXPECT_EQ(loops_->lstPitchChange(), 500);
    EXPECT_EQ(trappedError(), 0);
}

// Two loops with the same start each keep their own speed: it goes to the loop Transform was
// pressed on, found by its key, whichever row is current when the pass starts.
TEST_F(SpeedAndPitch, TheSpeedIsStoredOnTheLoopTransformWorksOn)
{
    LoopSideRig& m = rig();
    const int file = waveWithLoops({{1000, 3000}, {1000, 4000}});
    loops_->rows().moveTo(1);
    loops_->prevRowKey = loops_->rows().currentKey();
    m.state().prevStartTime = 1000;
    loops_->rows().moveTo(0);
    m.state().setSlowDownPercent(70);
    m.state().setPitchChange(-200);
    m.state().savedCdView = false;
    loops_->saveCurrentPct();
    loops_->saveCurrentPitchChange();

    EXPECT_EQ(rows(QStringLiteral("SELECT Comment, lastPct FROM WaveLoopPoints WHERE waveFileID = "
                                  "%1 ORDER BY rowKey")
                       .arg(file)),
              (QList<QVariantList>{{"loop 1", 50}, {"loop 2", 70}}));
    EXPECT_EQ(
        rows(QStringLiteral("SELECT lastPitchChange FROM \"Wave Files\" WHERE waveFileID = %1")
                 .arg(file)),
        (QList<QVariantList>{{-200}}));
    EXPECT_EQ(loops_->rows().currentRow(), 0);
    loops_->rows().moveTo(1);
    EXPECT_EQ(loops_->lstPct(), 70);
}

// Transform on the second of two loops with the same start: the controls show that loop's
// speed and its file's pitch without starting a pass of their own, and a new speed is stored on
// that loop, not on the one that shares its start nor on the row current by then.
TEST_F(SpeedAndPitch, TransformShowsTheLoopsSpeedAndANewSpeedIsStoredOnThatLoop)
{
    LoopSideRig& m = rig();
    programState().gvSlowMode = false;
    programState().gvAutoSlow = true;
    const QString song = secondsWave(path(QStringLiteral("music/song.wav")), 6);
    const int file = waveWithLoops({{1000, 3000}, {1000, 4000}});
    execute(QStringLiteral("UPDATE WaveLoopPoints SET lastPct = 60 WHERE Comment = 'loop 1'"));
    execute(QStringLiteral("UPDATE WaveLoopPoints SET lastPct = 70 WHERE Comment = 'loop 2'"));
    execute(QStringLiteral("UPDATE \"Wave Files\" SET lastPitchChange = -200"));
    loops_->rows().requery();
    loops_->rows().moveTo(1);
    m.WaveControl->setFileName(song);
    loops_->cmdSlowPlay_Click();

    EXPECT_EQ(m.slSlowPct[0]->value(), 70);
    EXPECT_EQ(m.txtSlowPct[0]->text(), QStringLiteral("70"));
    EXPECT_EQ(m.slSlowPct[1]->value(), -200);
    EXPECT_EQ(m.txtSlowPct[1]->text(), QStringLiteral("-2"));
    ASSERT_EQ(runner_.passes.size(), 1u);
    EXPECT_DOUBLE_EQ(runner_.passes[0].timeFactor, 100.0 / 70);

    loops_->rows().moveTo(0);
    m.lbl1002->click();
    EXPECT_EQ(runner_.passes.size(), 2u);
    EXPECT_EQ(rows(QStringLiteral("SELECT Comment, lastPct FROM WaveLoopPoints WHERE waveFileID = "
                                  "%1 ORDER BY rowKey")
                       .arg(file)),
              (QList<QVariantList>{{"loop 1", 60}, {"loop 2", 50}}));
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(SpeedAndPitch, TransformNeedsALoopRow)
{
    LoopSideRig& m = rig();
    EXPECT_TRUE(m.cmdSlowPlay->isEnabled());
    waveWithLoops({});
    EXPECT_FALSE(m.cmdSlowPlay->isEnabled());
    waveWithLoops({{0, 1000}});
    EXPECT_TRUE(m.cmdSlowPlay->isEnabled());
}

} // namespace
} // namespace lentaro::test
