#include "tests/program/loop_side_window_fixture.h"

#include "tests/app/clicking.h"
#include "tests/app/traced_calls.h"

#include "app/programstate.h"
#include "loops/frmTrim.h"
#include "loops/trimGraph.h"
#include "platform/mci/MMControl.h"
#include "tests/support/named_control.h"

#include <QAction>
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

class TrimWindowInMainWindow : public LoopSideWindowTest
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

    QList<QVariantList> limits() const
    {
        return rows(QStringLiteral("SELECT startTime, endTime FROM WaveLoopPoints ORDER BY "
                                   "startTime, rowKey"));
    }
};

// However the grid comes to another row before Save (a click on it, or F8 playing on with the
// grid following the position), the trimmed limits go to the row the window opened.
TEST_F(TrimWindowInMainWindow, SaveAfterTheGridMovedOnStoresInTheOpenedRow)
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

// The window stays clear of the loop rows in every layout: under the loop grid where it spans
// the window, over the tracks grid where the loop grid stands beside it; it follows a change of
// layout while it is open and leaves the position box in sight.
TEST_F(TrimWindowInMainWindow, TheWindowLeavesTheLoopRowsInSight)
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
            control<QAction>(main, QStringLiteral("mnuChooseView(%1)").arg(c.view))->trigger();
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

// Keys in the trim window are the main window's: each reaches its handler once, and Alt+T is
// Transform.
TEST_F(TrimWindowInMainWindow, KeysInTheWindowReachTheMainWindowOnce)
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
TEST_F(TrimWindowInMainWindow, EveryControlReachesItsProcedure)
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

} // namespace
} // namespace lentaro::test
