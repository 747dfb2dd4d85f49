// Every menu item, mouse button, transport button and key of the waveform view, used as a person
// uses it, reaches its procedure.
#include "app/Preference.h"
#include "app/programstate.h"
#include "controls/wgrid2/wGrid2.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"
#include "tests/app/clicking.h"
#include "tests/app/traced_calls.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"
#include "waveview/wavechart.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace lentaro::test {

namespace {

constexpr int amplitude = 20480;

TEST_F(WaveViewTest, EveryControlReachesItsProcedure)
{
    writeClickTrain(tempWav(), {44100, 1, 2, false}, 5.0, amplitude, 500);
    host_.length = 5000;
    TracedCalls calls(home());
    frmScrollTime& view = load();
    QApplication::setActiveWindow(&view);
    wGrid2& grid = *view.wGrid21;
    const QString in = QStringLiteral("scrollFastest : Sub ");
    const auto item = [&](const QStringList& captions) {
        return [&view, captions] { choose(view, captions); };
    };
    const auto answered = [&](const QString& answer, const QStringList& captions) {
        return [&, answer, captions] {
            prompts_.queueInput(answer);
            choose(view, captions);
        };
    };
    const auto colored = [&](const QStringList& captions) {
        return [&, captions] {
            prompts_.queueColor(QColor(0x10, 0x20, 0x30));
            choose(view, captions);
        };
    };
    const auto chart = [&](Qt::MouseButton button, int x) {
        return [&view, button, x] {
            QTest::mouseClick(&view.chart(), button, {}, QPoint(x, view.chart().height() / 2));
        };
    };
    const auto bar = [&](mci::Button which) {
        return [&view, which] { click(view.MMControl1->bar()->button(which)); };
    };
    const auto key = [&](Qt::Key pressed, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [&view, pressed, modifiers] { QTest::keyClick(&view, pressed, modifiers); };
    };
    const auto typed = [&](char character) {
        return [&view, character] { QTest::keyClick(&view, character); };
    };
    const auto plays = [&] { return host_.plays.size(); };
    std::size_t playsBefore = 0;
    const auto played = [&] { return plays() > playsBefore; };
    const auto remember = [&](const std::function<void()>& use) {
        return [&, use] {
            playsBefore = plays();
            use();
        };
    };
    int firstLine = 0;
    int beatWidth = 0;
    const QStringList glissom{QStringLiteral("Glissom")};
    const QStringList rulers{QStringLiteral("Glissom"), QStringLiteral("Select Rulers")};
    const QStringList colors{QStringLiteral("Colors")};
    const QStringList zoom{QStringLiteral("Zoom")};
    const QStringList options{QStringLiteral("Options")};

    walk(calls,
         {
             {"Alt+G opens Glissom",
              [&] {
                  QTest::keyClick(&view, Qt::Key_G, Qt::AltModifier);
                  if (QWidget* open = QApplication::activePopupWidget())
                      open->close();
              },
              in + "mnuGridMaster_Click"},
             {"Show Grid", item(glissom + QStringList{"Show Grid"}), in + "mnuShowHide_Click",
              [&] { return !grid.isHidden(); }},
             {"left click on the chart", chart(Qt::LeftButton, 100), in + "Chart_MouseDown",
              [&] { return view.selection.startMarker.pixelPosition() == 100; }},
             {"right click on the chart", chart(Qt::RightButton, 500), in + "Chart_MouseDown",
              [&] { return view.selection.endMarker.pixelPosition() == 500; }},
             {"Align Grid To Selection",
              answered("4", glissom + QStringList{"Align Grid To Selection"}),
              in + "mnuAlignGridToSelection_Click", [&] { return grid.BeatWidth() == 1500; }},
             {"Beats Per Measure...", answered("3", glissom + QStringList{"Beats Per Measure..."}),
              in + "mnuBPM_Click", [&] { return grid.BeatsPerMeasure() == 3; }},
             {"Beats Per Minute...", item(glissom + QStringList{"Beats Per Minute..."}),
              in + "mnuBPMinute_Click",
              [&] { return lastMessage().startsWith(QStringLiteral("Slowed-down tempo is ")); }},
             {"Beats (Quarter notes)", item(rulers + QStringList{"Beats (Quarter notes)"}),
              in + "mnuRulers_Click : (Index=1)"},
             {"Eighth notes", item(rulers + QStringList{"Eighth notes"}),
              in + "mnuRulers_Click : (Index=2)", [&] { return grid.HalvesVisible(); }},
             {"Triplets/Swing", item(rulers + QStringList{"Triplets/Swing"}),
              in + "mnuRulers_Click : (Index=3)", [&] { return grid.ThirdsVisible(); }},
             {"Colors > Beats", colored(colors + QStringList{"Beats (Quarter notes)"}),
              in + "mnuColors_Click : (Index=1)"},
             {"Colors > Eighth notes", colored(colors + QStringList{"Eighth notes"}),
              in + "mnuColors_Click : (Index=2)"},
             {"Colors > Triplets/Swing", colored(colors + QStringList{"Triplets/Swing"}),
              in + "mnuColors_Click : (Index=3)"},
             {"To Selection", item(zoom + QStringList{"To Selection"}),
              in + "mnuZoom_Click : (Index=1)"},
             {"Out Full", item(zoom + QStringList{"Out Full"}), in + "mnuZoom_Click : (Index=2)"},
             {"Invert Selection", item(options + QStringList{"Invert Selection"}),
              in + "mnuInvert_Click",
              [&] {
                  Preference stored;
                  stored.setPreferenceName(QStringLiteral("Graph Invert Selection"));
                  return !view.mnuInvert->isChecked()
                         && stored.Value().toString() == QStringLiteral("False");
              }},
             {"Background Color", colored(options + QStringList{"Background Color"}),
              in + "mnuBackgroundColor_Click"},
             {"Graph Color", colored(options + QStringList{"Graph Color"}),
              in + "mnuGraphColor_Click"},
             {"Graphic Display Quality...",
              answered("", options + QStringList{"Graphic Display Quality..."}),
              in + "mnuGraphicDisplayQuality_Click"},
             {"Select All", remember(item(options + QStringList{"Select All"})),
              in + "mnuSelectAll_Click", played},
             {"Refresh Display", item(options + QStringList{"Refresh Display"}),
              in + "mnuRefresh_Click"},
             {"Play", remember(bar(mci::Button::Play)), in + "MMControl1_PlayClick", played},
             {"Stop", bar(mci::Button::Stop), in + "MMControl1_StopClick"},
             {"the transport bar focused", [&] { view.MMControl1->setFocus(Qt::TabFocusReason); },
              in + "MMControl1_GotFocus", [&] { return view.chart().hasFocus(); }},
             {"F7", remember(key(Qt::Key_F7)), in + "Form_KeyDown", played},
             {"Ctrl+Right",
              [&] {
                  firstLine = grid.FirstLine();
                  key(Qt::Key_Right, Qt::ControlModifier)();
              },
              in + "Form_KeyDown", [&] { return grid.FirstLine() == firstLine + 12; }},
             {"Alt+Left",
              [&] {
                  beatWidth = grid.BeatWidth();
                  key(Qt::Key_Left, Qt::AltModifier)();
              },
              in + "Form_KeyDown", [&] { return grid.BeatWidth() == beatWidth - 12; }},
             {"3", remember(typed('3')), in + "Form_KeyPress : (KeyAscii=51)",
              [&] { return played() && view.lastBeatPlayed == 3; }},
             {"n", typed('n'), in + "Form_KeyPress : (KeyAscii=110)",
              [&] { return view.lastBeatPlayed == 4; }},
             {"p", typed('p'), in + "Form_KeyPress : (KeyAscii=112)",
              [&] { return view.lastBeatPlayed == 3; }},
             {"Space", remember(key(Qt::Key_Space)), in + "Form_KeyPress : (KeyAscii=32)", played},
             {"keypad plus", remember(key(Qt::Key_Plus, Qt::KeypadModifier)), in + "Form_KeyUp",
              played},
             {"F6, the main window's", key(Qt::Key_F6), in + "Form_KeyDown",
              [&] {
                  return std::any_of(host_.forwardedKeys.begin(), host_.forwardedKeys.end(),
                                     [](const auto& k) { return k.first == keyF6; });
              }},
             {"the close box", [&] { view.close(); }, "",
              [&] { return view.isHidden() && forms::loadedFormOf<frmScrollTime>() == &view; }},
         });
    EXPECT_EQ(calls.lastError().number, 0) << calls.lastError().description.toStdString();
}

} // namespace

} // namespace lentaro::test
