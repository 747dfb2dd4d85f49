// The keys the main window answers wherever the focus is.

#include "mainwindow/frmMain.h"
#include "mainwindow/gridediting.h"
#include "mainwindow/keycodes.h"

#include "app/programstate.h"
#include "trace/tracescope.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTableView>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

} // namespace

bool frmMain::typing()
{
    if (isEditing(*loopPoints))
        return true;
    if (!state_.cdView)
        return false;
    if (isEditing(*tgTracks))
        return true;
    const QWidget* active = focusWidget();
    if (!active)
        return false;
    for (const char* field : {"Comments", "Artist", "CDTitle"}) {
        if (active->objectName().compare(QLatin1String(field), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void frmMain::Form_KeyDown(int& KeyCode, int Shift)
{
    TraceScope trace(module, "Sub Form_KeyDown", {{"KeyCode", KeyCode}, {"Shift", Shift}});
    trace.run([&] {
        ProgramState& program = programState();
        switch (KeyCode) {
        case keyF6:
            KeyCode = 0;
            togglePlayState();
            break;
        case keySpace:
            if (typing()) {
                stampTyping();
            } else {
                KeyCode = 0;
                togglePlayState();
            }
            break;
        case keyF7:
            loops().btnLoopPlay_Click();
            break;
        case keyF8:
            loops().playFromLoopOn();
            break;
        case keypadMinus:
        case keypadPlus:
            if (program.gvSlowMode) {
                state_.setSlowDownPercent(state_.slowDownPercent()
                                          + (KeyCode == keypadPlus ? 10 : -10));
                loops().changeTransformParameters();
            }
            break;
        default:
            if (program.gvSlowMode && waveView().isOpen() && !program.gvKeyForwarding) {
                // Cleared however the view's handler ends, so that keys keep flowing.
                QScopedValueRollback<bool> forwarding(program.gvKeyForwarding, true);
                waveView().Form_KeyDown(KeyCode, Shift);
            }
        }
    });
}

void frmMain::Form_KeyPress(int& KeyAscii)
{
    TraceScope trace(module, "Sub Form_KeyPress", {{"KeyAscii", KeyAscii}});
    trace.run([&] {
        if (KeyAscii == keySpace && sinceTyping() >= std::chrono::seconds(10))
            KeyAscii = 0;
    });
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || deliveringKey_)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // A grid not editing a cell: a key pressed after a click on the current cell acts as a key,
    // not as the click's edit, which would open late over the letters typed meanwhile.
    auto* grid = qobject_cast<QAbstractItemView*>(widget);
    if (grid && isEditing(*grid))
        grid = nullptr;
    if (grid)
        dropClickEdit(*grid);
    int KeyCode = keyCodeOf(*key);
    Form_KeyDown(KeyCode, shiftOf(*key));
    bool deliver = KeyCode != 0;
    if (key->text() == QStringLiteral(" ")) {
        int KeyAscii = keySpace;
        Form_KeyPress(KeyAscii);
        // A space that toggled play must not also press the focused button; in a grid a space
        // plays or stops and never starts editing a cell.
        deliver =
            KeyAscii != 0 && !grid && (KeyCode != 0 || !qobject_cast<QAbstractButton*>(widget));
    }
    if (deliver) {
        QScopedValueRollback<bool> delivering(deliveringKey_, true);
        QCoreApplication::sendEvent(watched, event);
    }
    // Handled, whatever the control made of it: the key's way up to the parents went with it.
    event->accept();
    return true;
}

} // namespace lentaro
