#include "tests/loops/loop_side_fixture.h"

#include "tests/app/clicking.h"
#include "tests/app/traced_calls.h"

#include "app/programstate.h"
#include "loops/frmTrim.h"
#include "loops/trimGraph.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSqlTableModel>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <stdexcept>

namespace lentaro::test {
namespace {

const QString endpointsWrong =
    QStringLiteral("Sorry, there's a loop problem. Endpoints are wrong.");

class TrimWindow : public LoopSideTest
{
protected:
    // The trim window over the loop row `current` of loops as given, the device's commands
    // journalled from then on.
    frmTrim& trimOver(const std::vector<std::pair<int, QVariant>>& loops, int current = 0)
    {
        waveWithLoops(loops);
        loops_->rows().moveTo(current);
        loops_->showTrim();
        devicesJournal_.clear();
        return *loops_->trim();
    }

    // The texts of the window's labels, in the order made.
    static QStringList labels(const frmTrim& trim)
    {
        QStringList texts;
        for (const QLabel* label : trim.findChildren<QLabel*>())
            texts << label->text();
        return texts;
    }

    QList<QVariantList> limits() const
    {
        return rows(QStringLiteral("SELECT startTime, endTime FROM WaveLoopPoints ORDER BY "
                                   "startTime, rowKey"));
    }
};

// The sliders reach a second past the row's limits, never before 0 or past the media, and the
// device is set to the sliders' reach; nothing plays yet.
TEST_F(TrimWindow, TheSlidersReachASecondPastTheLoopWithinTheMedia)
{
    struct Case {
        const char* name;
        std::pair<int, QVariant> loop;
        int mediaLength;
        int minimum;
        int maximum;
        int start;
        int end;
    };
    const Case cases[] = {
        {"within the media", {10000, 20000}, 600000, 9000, 21000, 10000, 20000},
        {"near the media's start", {500, 2000}, 600000, 0, 3000, 500, 2000},
        {"a missing end near the media's end", {10000, {}}, 13000, 9000, 13000, 10000, 13000},
    };
    frmMain& main = ready();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wave_->mediaLength = c.mediaLength;
        execute(QStringLiteral("DELETE FROM WaveLoopPoints"));
        loops_->closeTrim();
        frmTrim& trim = trimOver({c.loop});
        for (QSlider* slider : trim.slStart) {
            EXPECT_EQ(slider->minimum(), c.minimum);
            EXPECT_EQ(slider->maximum(), c.maximum);
        }
        EXPECT_EQ(trim.slStart[0]->value(), c.start);
        EXPECT_EQ(trim.slStart[1]->value(), c.end);
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->from(), c.minimum);
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->to(), c.maximum);
        EXPECT_EQ(limits(), QList<QVariantList>({{c.start, c.end}}));
        EXPECT_TRUE(devicesJournal_.isEmpty());
    }
}

// Prev and Next move both sliders by the loop's length, or by what is left before the end of
// the sliders' reach, and play the new section once: all of it, or with the end preview chosen
// and a loop longer than the preview, its last 3 s after the pause, whichever way the step went.
// At the end of the reach they do nothing.
TEST_F(TrimWindow, PrevAndNextStepBothSlidersAndPlayTheNewSectionOnce)
{
    struct Case {
        const char* name;
        bool previewEnd;
        int index;
        int start;
        int end;
        QString played; // empty: nothing
    };
    const Case cases[] = {
        {"Next", false, 2, 11000, 15000, "wave play 11000-15000"},
        {"Next at the end", false, 2, 11000, 15000, ""},
        {"Prev", false, 1, 9000, 13000, "wave play 9000-13000"},
        {"Prev at the start", false, 1, 9000, 13000, ""},
        {"Next with the end preview", true, 2, 11000, 15000, "wave play 12000-15000"},
        {"Prev with the end preview", true, 1, 9000, 13000, "wave play 10000-13000"},
    };
    frmMain& main = ready();
    frmTrim& trim = trimOver({{10000, 14000}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        programState().gvPreviewEnd = c.previewEnd;
        devicesJournal_.clear();
        QTest::mouseClick(trim.cmdNext[c.index], Qt::LeftButton);
        EXPECT_EQ(trim.slStart[0]->value(), c.start);
        EXPECT_EQ(trim.slStart[1]->value(), c.end);
        if (c.played.isEmpty()) {
            EXPECT_TRUE(devicesJournal_.isEmpty());
            continue;
        }
        EXPECT_TRUE(
            QTest::qWaitFor([this] { return !devicesJournal_.filter("play").isEmpty(); }, 3000));
        EXPECT_EQ(devicesJournal_.filter("play"), QStringList({c.played}));
        EXPECT_EQ(main.state().inPt, c.start);
        EXPECT_EQ(main.state().outPt, c.end);
    }
    programState().gvPreviewEnd = false;
}

// A failure while the limits are read ends setTrimLimits quietly, and the sliders answer the next
// move: the flags that mute them while code sets them are down again.
TEST_F(TrimWindow, AFailedLimitsReadLeavesTheSlidersAnswering)
{
    frmMain& main = ready();
    waveWithLoops({{10000, 20000}});
    bool fails = true;
    auto* trim = new frmTrim(
        main.loopControls(), loops_->rows(), [](int, int) {},
        [&fails](int& start, int& end) {
            if (fails)
                throw std::runtime_error("Invalid use of Null");
            start = 10000;
            end = 20000;
        });
    const std::unique_ptr<frmTrim> owned(trim);
    fails = false;
    trim->setTrimLimits();
    fails = true;
    trim->setTrimLimits();
    trim->slStart[0]->setValue(12000);
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->from(), 12000);
}

// Zoom Out widens both sliders by 5 s, never before 0; the values, the device and the row stay.
TEST_F(TrimWindow, ZoomOutWidensTheSlidersOnly)
{
    frmMain& main = ready();
    frmTrim& trim = trimOver({{4000, 6000}});
    trim.cmdZoom->click();
    for (QSlider* slider : trim.slStart) {
        EXPECT_EQ(slider->minimum(), 0);
        EXPECT_EQ(slider->maximum(), 12000);
    }
    EXPECT_EQ(trim.slStart[0]->value(), 4000);
    EXPECT_EQ(trim.slStart[1]->value(), 6000);
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->from(), 3000);
    EXPECT_TRUE(devicesJournal_.isEmpty());
    EXPECT_EQ(limits(), QList<QVariantList>({{4000, 6000}}));
}

// Save stores the sliders in the row the window opened, whichever row is chosen by then, after
// a Yes; an end before the start is refused.
TEST_F(TrimWindow, SaveStoresTheTrimmedLimitsInTheRowTheWindowOpened)
{
    struct Case {
        const char* name;
        forms::Answer answer;
        int start;
        int end;
        QList<QVariantList> stored;
        QStringList shown;
    };
    const QString question = QStringLiteral("Are you sure that you want to save the current trim "
                                            "points as the new start and end points for the loop?");
    const Case cases[] = {
        {"Yes", forms::Answer::Yes, 10500, 19000, {{10500, 19000}, {30000, 40000}}, {question}},
        {"No", forms::Answer::No, 10500, 19000, {{10000, 20000}, {30000, 40000}}, {question}},
        {"end before start",
         forms::Answer::Yes,
         15000,
         12000,
         {{10000, 20000}, {30000, 40000}},
         {question, endpointsWrong}},
    };
    ready();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        execute(QStringLiteral("DELETE FROM WaveLoopPoints"));
        loops_->closeTrim();
        frmTrim& trim = trimOver({{10000, 20000}, {30000, 40000}});
        trim.slStart[0]->setValue(c.start);
        trim.slStart[1]->setValue(c.end);
        loops_->rows().moveTo(1);
        const std::size_t asked = prompts_.messageBoxes().size();
        prompts_.queueAnswer(c.answer);
        trim.cmdSave->click();
        QStringList shown;
        for (std::size_t i = asked; i < prompts_.messageBoxes().size(); ++i)
            shown << prompts_.messageBoxes()[i].text;
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(limits(), c.stored);
    }
}

// However the grid comes to another row before Save (a click on it, or F8 playing on with the
// grid following the position), the trimmed limits go to the row the window opened.
TEST_F(TrimWindow, SaveAfterTheGridMovedOnStoresInTheOpenedRow)
{
    struct Case {
        const char* name;
        std::function<void(frmMain&, frmTrim&)> moveOn;
    };
    const Case cases[] = {
        {"a click on another row",
         [](frmMain& main, frmTrim&) {
             QTableView& grid = *control<QTableView>(main, "loopPoints");
             const auto* model = qobject_cast<const QSqlTableModel*>(grid.model());
             const QRect row =
                 grid.visualRect(model->index(1, model->fieldIndex(QStringLiteral("Comment"))));
             QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, row.center());
         }},
        {"F8, the grid following into the next row",
         [this](frmMain&, frmTrim& trim) {
             trim.slStart[0]->setFocus();
             QTest::keyClick(trim.slStart[0], Qt::Key_F8);
             wave_->positions = {35000};
             loops_->highlightLoopPoint();
         }},
    };
    frmMain& main = ready();
    main.show();
    QApplication::setActiveWindow(&main);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        execute(QStringLiteral("DELETE FROM WaveLoopPoints"));
        loops_->closeTrim();
        frmTrim& trim = trimOver({{10000, 20000}, {30000, 40000}});
        control<QTableView>(main, "loopPoints")->show();
        trim.slStart[0]->setValue(10500);
        trim.slStart[1]->setValue(19000);
        c.moveOn(main, trim);
        ASSERT_EQ(loops_->rows().currentRow(), 1);
        prompts_.queueAnswer(forms::Answer::Yes);
        trim.cmdSave->click();
        EXPECT_EQ(limits(), QList<QVariantList>({{10500, 19000}, {30000, 40000}}));
    }
}

// While the window is open the loop is what its sliders say, the row untouched; an end before
// the start plays nothing. Closing it hands the loop back to the row.
TEST_F(TrimWindow, WhileOpenTheLoopIsWhatTheSlidersSay)
{
    ready();
    frmTrim& trim = trimOver({{10000, 20000}});
    trim.slStart[0]->setValue(11000);
    trim.slStart[1]->setValue(18000);
    int in = 0;
    int out = 0;
    EXPECT_FALSE(loops_->calcInAndOutPoints(in, out));
    EXPECT_EQ(std::make_pair(in, out), std::make_pair(11000, 18000));
    EXPECT_EQ(limits(), QList<QVariantList>({{10000, 20000}}));

    trim.slStart[0]->setValue(19000);
    trim.slStart[1]->setValue(12000);
    devicesJournal_.clear();
    programState().gvPlayState.setState(true);
    loops_->playLoop(true);
    EXPECT_TRUE(devicesJournal_.filter("play").isEmpty());
    EXPECT_EQ(prompts_.messageBoxes().back().text, endpointsWrong);
    EXPECT_FALSE(programState().gvPlayState.state().toBool());

    trim.cmdClose->click();
    EXPECT_FALSE(loops_->trimOpen());
    EXPECT_FALSE(loops_->calcInAndOutPoints(in, out));
    EXPECT_EQ(std::make_pair(in, out), std::make_pair(10000, 20000));
}

// Moving the end slider plays the loop through, or, with the end preview chosen and a loop longer
// than the preview, only its last 3 s once the pause after the move is over; its end then repeats
// the whole loop. A move during the pause replaces the preview waiting.
TEST_F(TrimWindow, MovingTheEndPlaysTheLoopOrPreviewsItsEnd)
{
    struct Case {
        const char* name;
        bool previewEnd;
        int end;
        bool waits;
        QString played;
    };
    const Case cases[] = {
        {"a loop as long as the preview", true, 15000, false, "wave play 12000-15000"},
        {"a loop longer than the preview", true, 15001, true, "wave play 12001-15001"},
        {"no preview chosen", false, 15001, false, "wave play 12000-15001"},
    };
    frmMain& main = ready();
    frmTrim& trim = trimOver({{10000, 20000}});
    trim.slStart[0]->setValue(12000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        programState().gvPreviewEnd = c.previewEnd;
        trim.slStart[1]->setValue(20000);
        trim.tmrPreviewEnd->stop();
        devicesJournal_.clear();
        trim.slStart[1]->setValue(c.end);
        EXPECT_EQ(trim.tmrPreviewEnd->isActive(), c.waits);
        if (c.waits) {
            EXPECT_TRUE(devicesJournal_.filter("play").isEmpty());
            EXPECT_EQ(trim.tmrPreviewEnd->interval(), 1000);
            trim.previewEnd();
        }
        EXPECT_EQ(devicesJournal_.back(), c.played);
        EXPECT_EQ(main.state().inPt, 12000);
        EXPECT_EQ(main.state().outPt, c.end);
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->from(), 12000);
        EXPECT_TRUE(programState().gvPlayState.state().toBool());
    }
    programState().gvPreviewEnd = true;
    trim.slStart[1]->setValue(16000);
    ASSERT_TRUE(trim.tmrPreviewEnd->isActive());
    trim.slStart[0]->setValue(12500);
    EXPECT_FALSE(trim.tmrPreviewEnd->isActive());
    EXPECT_EQ(devicesJournal_.back(), "wave play 12500-16000");
    EXPECT_EQ(control<QLabel>(main, "pnlLoopLength")->text(), "Loop Length: 00:04");
    programState().gvPreviewEnd = false;
}

// Dragging a slider follows the thumb with its time and plays once, where it is let go, not at
// every step on the way.
TEST_F(TrimWindow, ADragPlaysOnceWhereItIsLetGoAndTheTimesFollowTheThumbs)
{
    frmMain& main = ready();
    main.show();
    QApplication::setActiveWindow(&main);
    frmTrim& trim = trimOver({{10000, 20000}});
    EXPECT_TRUE(labels(trim).contains("10000 ms"));
    EXPECT_TRUE(labels(trim).contains("20000 ms"));
    QSlider& slider = *trim.slStart[0];
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    const QPoint grab =
        slider.style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider)
            .center();
    QTest::mousePress(&slider, Qt::LeftButton, {}, grab);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(&slider, grab + QPoint(step * 4, 0));
    EXPECT_TRUE(devicesJournal_.filter("play").isEmpty());
    EXPECT_FALSE(labels(trim).contains("10000 ms"));
    EXPECT_TRUE(labels(trim).contains(QStringLiteral("%1 ms").arg(slider.sliderPosition())));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, grab + QPoint(40, 0));
    const int letGo = slider.value();
    EXPECT_GT(letGo, 10000);
    // To the sliders' reach until the end slider moves.
    EXPECT_EQ(devicesJournal_.filter("play"),
              QStringList({QStringLiteral("wave play %1-21000").arg(letGo)}));
    EXPECT_TRUE(labels(trim).contains(QStringLiteral("%1 ms").arg(letGo)));
}

// The window stays clear of the loop rows in every layout: under the loop grid where it spans
// the window, over the tracks grid where the loop grid stands beside it; it follows a change of
// layout while it is open and leaves the position box in sight.
TEST_F(TrimWindow, TheWindowLeavesTheLoopRowsInSight)
{
    struct Case {
        const char* name;
        int view; // 0: the Wave view's own layout
        bool overTracks;
    };
    const Case cases[] = {
        {"Wave view", 0, false},  {"Normal", 1, true},           {"Loop Detail", 2, false},
        {"Big Lyrics", 3, false}, {"Wave view again", 0, false},
    };
    frmMain& main = ready();
    main.show();
    QApplication::setActiveWindow(&main);
    const auto inWindow = [&main](const QWidget& widget) {
        return QRect(widget.mapTo(&main, QPoint(0, 0)), widget.size());
    };
    const QRect tracksPlace = inWindow(*control<QTableView>(main, "tgTracks"));
    waveWithLoops({{10000, 20000}, {30000, 40000}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.view == 0) {
            waveWithLoops({{10000, 20000}, {30000, 40000}});
            loops_->showLoopDetails();
        } else {
            loops_->mnuChooseView_Click(c.view);
        }
        if (!loops_->trimOpen()) {
            control<QTableView>(main, "loopPoints")->setFocus();
            QTest::keyClick(control<QTableView>(main, "loopPoints"), Qt::Key_F7);
        }
        ASSERT_TRUE(loops_->trimOpen());
        const frmTrim& trim = *loops_->trim();
        const QRect place = inWindow(trim);
        EXPECT_FALSE(place.intersects(inWindow(*control<QTableView>(main, "loopPoints"))));
        EXPECT_FALSE(place.intersects(inWindow(*control<QGroupBox>(main, "fraCurrPosition"))));
        if (c.overTracks) {
            EXPECT_EQ(place, tracksPlace);
        }
        // Every control whole inside the window.
        for (const QWidget* control : trim.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!control->isHidden()) {
                EXPECT_TRUE(trim.rect().contains(control->geometry()))
                    << control->metaObject()->className();
            }
        }
    }
}

// Grabbing a slider stops the play; once released it takes no input for a moment, keeping the
// keyboard focus it has.
TEST_F(TrimWindow, AReleasedSliderTakesNoInputUntilTheLockEnds)
{
    ready();
    frmTrim& trim = trimOver({{10000, 20000}});
    programState().gvPlayState.setState(true);
    trim.slStart_MouseDown();
    EXPECT_EQ(devicesJournal_, QStringList({"wave stop"}));
    EXPECT_FALSE(programState().gvPlayState.state().toBool());
    trim.slStart_MouseUp(0);
    EXPECT_TRUE(trim.tmrSliderFreedom->isActive());
    EXPECT_EQ(trim.tmrSliderFreedom->interval(), 300);
    QSlider& slider = *trim.slStart[0];
    const auto right = [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(&slider, &press);
    };
    right();
    EXPECT_EQ(slider.value(), 10000);
    EXPECT_TRUE(slider.isEnabled());
    trim.tmrSliderFreedom_Timer();
    right();
    EXPECT_GT(slider.value(), 10000);
}

// The transport bar's Play plays from the trimmed start; its Stop ends the loop.
TEST_F(TrimWindow, TheTransportBarPlaysFromTheTrimmedStartAndStops)
{
    frmMain& main = ready();
    frmTrim& trim = trimOver({{10000, 20000}});
    trim.slStart[1]->setValue(19000);
    devicesJournal_.clear();
    bool cancel = false;
    emit trim.MMControl1->playClick(cancel);
    EXPECT_EQ(devicesJournal_, QStringList({"wave stop", "wave play 10000-19000"}));
    EXPECT_TRUE(programState().gvPlayState.state().toBool());
    emit trim.MMControl1->stopClick(cancel);
    EXPECT_EQ(devicesJournal_.back(), "wave stop");
    EXPECT_FALSE(programState().gvPlayState.state().toBool());
    EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->updateInterval(), 0);
}

// The window covers the track information while open; closing it shows the information again
// only where the view shows it.
TEST_F(TrimWindow, TheTrackInformationComesBackOnlyInTheCdViewsNormalLayout)
{
    struct Case {
        const char* name;
        bool cdView;
        int currentView;
        bool byCloseButton;
        bool shownAfter;
    };
    const Case cases[] = {
        {"CD view, Normal, Close", true, 1, true, true},
        {"CD view, Normal, closed by a view change", true, 1, false, true},
        {"CD view, Loop Detail", true, 2, true, false},
        {"Wave view", false, 1, true, false},
    };
    frmMain& main = ready();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        trimOver({{10000, 20000}});
        EXPECT_TRUE(control<QTableView>(main, "tgTracks")->isHidden());
        main.state().cdView = c.cdView;
        main.state().setCurrentView(c.currentView);
        if (c.byCloseButton)
            loops_->trim()->cmdClose->click();
        else
            loops_->closeTrim();
        EXPECT_FALSE(loops_->trimOpen());
        EXPECT_EQ(!control<QTableView>(main, "tgTracks")->isHidden(), c.shownAfter);
        main.state().cdView = false;
    }
}

TEST_F(TrimWindow, HelpExplainsTheSlidersAndTheMargin)
{
    ready();
    trimOver({{10000, 20000}}).cmdHelp->click();
    ASSERT_EQ(prompts_.messageBoxes().size(), 1U);
    const QString text = prompts_.messageBoxes().back().text;
    EXPECT_TRUE(text.startsWith("The sliders allow you to adjust the beginning and endpoints"));
    EXPECT_TRUE(text.contains("(not available in SlowPlay mode).\r\n\r\nWhen this window first"));
    EXPECT_TRUE(text.endsWith("ends a little earlier than you'd prefer."));
}

// Keys in the trim window are the main window's: each reaches its handler once, and Alt+T is
// Transform.
TEST_F(TrimWindow, KeysInTheWindowReachTheMainWindowOnce)
{
    frmMain& main = ready();
    main.show();
    QApplication::setActiveWindow(&main);
    frmTrim& trim = trimOver({{10000, 20000}});
    trim.slStart[0]->setFocus();
    QTest::keyClick(trim.slStart[0], Qt::Key_F8);
    // To the end of the media, not to where the sliders reach.
    EXPECT_EQ(devicesJournal_, QStringList({"wave stop", "wave play 10000-600000"}));
    EXPECT_EQ(trim.slStart[0]->value(), 10000);

    QSignalSpy transform(control<QPushButton>(main, "cmdSlowPlay"), &QPushButton::clicked);
    QTest::keyClick(trim.slStart[0], Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(transform.count(), 1);
}

// Every control of the trim window, used as the user uses it, reaches its procedure: the sliders
// dragged (each then held a moment), the buttons and the transport bar's Play and Stop clicked,
// and the keys, which are the main window's.
TEST_F(TrimWindow, EveryControlReachesItsProcedure)
{
    frmMain& main = ready();
    QApplication::setActiveWindow(&main);
    TracedCalls calls(home());
    frmTrim* trim = &trimOver({{10000, 20000}, {30000, 40000}});
    const QString in = QStringLiteral("frmTrim : Sub ");
    const auto clicked = [](QWidget* control) { return [control] { click(control); }; };
    const auto dragged = [&](int index) {
        return [&, index] {
            devicesJournal_.clear();
            drag(*trim->slStart[index], index == 0 ? -20 : 20);
        };
    };
    // Pressed, moved (which plays the loop between the sliders) and let go.
    const auto played = [&](int index) {
        return [&, index] {
            return calls.reached(in + "slStart_MouseUp"
                                 + QStringLiteral(" : (Index=%1)").arg(index))
                   && !devicesJournal_.filter(QStringLiteral("wave play")).isEmpty();
        };
    };
    const auto freed = [&] { return runUntil([&] { return !trim->sliderLocked(1); }); };
    const auto bar = [&](mci::Button which) {
        return clicked(trim->MMControl1->bar()->button(which));
    };
    walk(calls, {
                    {"Start Point dragged", dragged(0), in + "slStart_MouseDown", played(0)},
                    {"End Point dragged", dragged(1), in + "slStart_MouseDown", played(1)},
                    {"End Point free again", [] {}, "", freed},
                    {"Prev", clicked(trim->cmdNext[1]), in + "cmdNext_Click : (Index=1)"},
                    {"Next", clicked(trim->cmdNext[2]), in + "cmdNext_Click : (Index=2)"},
                    {"Zoom Out", clicked(trim->cmdZoom), in + "cmdZoom_Click"},
                    {"Save",
                     [&] {
                         prompts_.queueAnswer(forms::Answer::No);
                         click(trim->cmdSave);
                     },
                     in + "cmdSave_Click"},
                    {"Help", clicked(trim->cmdHelp), in + "cmdHelp_Click"},
                    {"Play", bar(mci::Button::Play), in + "MMControl1_PlayClick"},
                    {"Stop", bar(mci::Button::Stop), in + "MMControl1_StopClick"},
                    {"Close", clicked(trim->cmdClose), in + "Form_QueryUnload",
                     [this] { return !loops_->trimOpen(); }},
                });
    trim = &trimOver({{10000, 20000}});
    trim->slStart[0]->setFocus();
    // What Transform cuts the loop out of.
    control<mci::MMControl>(main, "WaveControl")->setFileName(secondsWave(path("song.wav"), 25));
    walk(calls,
         {
             {"F8", [&] { QTest::keyClick(trim->slStart[0], Qt::Key_F8); },
              "main form : Sub playFromLoopOn"},
             {"Alt+T", [&] { QTest::keyClick(trim->slStart[0], Qt::Key_T, Qt::AltModifier); },
              "main form : Sub cmdSlowPlay_Click"},
         });
    EXPECT_EQ(calls.lastError().number, 0) << calls.lastError().description.toStdString();
}

// When a new file replaces the one trimmed, the sliders keep their share of their reach.
TEST_F(TrimWindow, TheSlidersKeepTheirShareWhenTheMediaChanges)
{
    ready();
    frmTrim& trim = trimOver({{1000, 20000}});
    trim.slStart[0]->setValue(5250);
    trim.slStart[1]->setValue(15750);
    loops_->setupTrimFormsForSlowdown();
    wave_->mediaLength = 16000;
    loops_->adjustTrimForm();
    EXPECT_EQ(trim.slStart[1]->maximum(), 16000);
    EXPECT_EQ(trim.slStart[0]->value(), 4000);
    EXPECT_EQ(trim.slStart[1]->value(), 12000);
}

// When a new file replaces the one shown, the waveform view's markers keep their share of the
// file and the wave control plays between them; a closed view is left alone, and a marker that
// cannot be set ends the adjustment there.
TEST_F(TrimWindow, TheMarkersKeepTheirShareWhenTheMediaChanges)
{
    struct Case {
        const char* name;
        bool open;
        bool startFails;
        double start;
        double end;
        int from;
        int to;
    };
    const Case cases[] = {
        {"open", true, false, 3000, 9001, 3000, 9001},
        {"closed", false, false, 1500, 4500.5, 100, 200},
        {"the start marker fails", true, true, 1500, 4500.5, 100, 200},
    };
    frmMain& main = ready();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedGraph graph;
        const ScopedOverride<TrimGraph> graphInPlace{trimGraph, graph};
        graph.open = c.open;
        graph.start = 1500;
        graph.end = 4500.5;
        wave_->mediaLength = 6000;
        loops_->setupTrimFormsForSlowdown();
        wave_->mediaLength = 12000;
        control<mci::MMControl>(main, "WaveControl")->setFrom(100);
        control<mci::MMControl>(main, "WaveControl")->setTo(200);
        graph.startFails = c.startFails;
        loops_->adjustGraph();
        // The shares are kept in single precision.
        EXPECT_NEAR(graph.start, c.start, 0.01);
        EXPECT_NEAR(graph.end, c.end, 0.01);
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->from(), c.from);
        EXPECT_EQ(control<mci::MMControl>(main, "WaveControl")->to(), c.to);
    }
}

} // namespace
} // namespace lentaro::test
