// The view's keys: the grid moved and stretched with the arrows, beats played from the keyboard,
// play and stop, and the main window's keys passed on to it.

#include "waveview/frmScrollTime.h"

#include "app/programstate.h"
#include "controls/wgrid2/wGrid2.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/keycodes.h"
#include "trace/tracescope.h"
#include "waveview/waveviewhost.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

namespace lentaro {

namespace {

constexpr char module[] = "scrollFastest";
constexpr int shiftMask = 1;
constexpr int ctrlMask = 2;
constexpr int altMask = 4;
constexpr int highestKeyBeat = 9;

// The plus and minus keys of the keypad and of the main keyboard (its "=" key carries the plus).
bool isPlus(int keyCode)
{
    return keyCode == keypadPlus || keyCode == Qt::Key_Plus || keyCode == Qt::Key_Equal;
}

bool isMinus(int keyCode)
{
    return keyCode == keypadMinus || keyCode == Qt::Key_Minus;
}

} // namespace

void frmScrollTime::keyPressEvent(QKeyEvent* event)
{
    int KeyCode = keyCodeOf(*event);
    Form_KeyDown(KeyCode, shiftOf(*event));
    if (event->text().size() == 1)
        Form_KeyPress(event->text().at(0).unicode());
    // Handled here: Escape in particular must not close the view.
    event->accept();
}

void frmScrollTime::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its presses and releases; only the real release counts.
    if (!event->isAutoRepeat())
        Form_KeyUp(keyCodeOf(*event), shiftOf(*event));
    event->accept();
}

void frmScrollTime::Form_KeyDown(int& KeyCode, int Shift)
{
    TraceScope trace(module, "Sub Form_KeyDown", {{"KeyCode", KeyCode}, {"Shift", Shift}});
    trace.run([&] {
        const int step = (Shift & shiftMask) ? 1 : 12;
        switch (KeyCode) {
        case keyF7:
            stopCurrentControl();
            MMControl1_PlayClick();
            return;
        case Qt::Key_Right:
        case Qt::Key_Left: {
            const int move = KeyCode == Qt::Key_Right ? step : -step;
            if (Shift & ctrlMask)
                wGrid21->setFirstLine(wGrid21->FirstLine() + move);
            else if (Shift & altMask)
                wGrid21->setBeatWidth(wGrid21->BeatWidth() + move);
            return;
        }
        case keySpace:
            // The blank plays and stops through the character rule alone.
            return;
        case keypadPlus:
        case keypadMinus:
            // The view's beat keys, played as they are let go, as the main keyboard's. In the
            // main window they change the speed, which closes the slowed-down file the beat is
            // to be played from and makes a new one under the grid.
            return;
        default: {
            ProgramState& program = programState();
            if (program.gvKeyForwarding)
                return;
            // Cleared however the main window's handler ends, so that keys keep flowing.
            QScopedValueRollback<bool> forwarding(program.gvKeyForwarding, true);
            host_.forwardKeyDown(KeyCode, Shift);
        }
        }
    });
}

void frmScrollTime::Form_KeyPress(int KeyAscii)
{
    TraceScope trace(module, "Sub Form_KeyPress", {{"KeyAscii", KeyAscii}});
    trace.run([&] {
        if (KeyAscii == ' ') {
            if (host_.playing())
                MMControl1_StopClick();
            else
                MMControl1_PlayClick();
            return;
        }
        int beat = lastBeatPlayed;
        if (KeyAscii >= '1' && KeyAscii <= '9')
            beat = KeyAscii - '0';
        else if (KeyAscii == 'n')
            beat = lastBeatPlayed + 1;
        else if (KeyAscii == 'p')
            beat = lastBeatPlayed > 0 ? lastBeatPlayed - 1 : 0;
        else
            return;
        if (playBeat(beat))
            lastBeatPlayed = beat;
        setFocus();
    });
}

void frmScrollTime::Form_KeyUp(int KeyCode, int Shift)
{
    TraceScope trace(module, "Sub Form_KeyUp", {{"KeyCode", KeyCode}, {"Shift", Shift}});
    // Other keys went to the main window once, as they were pressed.
    if (isPlus(KeyCode) && keyUpBeat < highestKeyBeat) {
        ignoringErrors([&] {
            if (playBeat(keyUpBeat + 1))
                ++keyUpBeat;
        });
    } else if (isMinus(KeyCode) && keyUpBeat > 1) {
        ignoringErrors([&] {
            if (playBeat(keyUpBeat - 1))
                --keyUpBeat;
        });
    }
    ignoringErrors([&] { setFocus(); });
}

bool frmScrollTime::playBeat(int beat)
{
    playPosition.Hide();
    stopCurrentControl();
    if (!highlightBeat(beat))
        return false;
    MMControl1_PlayClick();
    return true;
}

} // namespace lentaro
