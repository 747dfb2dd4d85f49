// The loop grid following the play position, and what its clicks and keys do.
#include "loops/loopSide.h"

#include "app/programstate.h"
#include "mainwindow/gridediting.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/prompts.h"
#include "platform/mci/MMControl.h"
#include "trace/tracescope.h"

#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
constexpr int deleteKey = Qt::Key_Delete;

} // namespace

void LoopSideOfMain::highlightLoopPoint()
{
    TraceScope trace(module, "Sub highlightLoopPoint");
    trace.run([&] {
        QTableView& grid = c_.loopPoints;
        if (!programState().gvLoopHighlight || isEditing(grid))
            return;
        host_->ms();
        const int row = rows_.lastStartingAtOrBefore(c_.state.currentMMControl()->position());
        ignoringErrors([&] {
            if (row == LoopRows::noRow) {
                grid.clearSelection();
                return;
            }
            if (row != rows_.currentRow())
                rows_.moveTo(row);
            else if (!grid.selectionModel()->isRowSelected(row, QModelIndex()))
                showRowInGrid();
        });
    });
}

void LoopSideOfMain::loopPoints_Click()
{
    ignoringErrors([] { programState().gvLoopHighlight = false; });
}

void LoopSideOfMain::loopPoints_dblclick(bool ctrl, bool alt)
{
    TraceScope trace(module, "Sub looppoints_dblclick", {{"ctrl", ctrl}, {"alt", alt}});
    trace.run([&] {
        host_->setEnabled(false);
        // Enabled again however the action ends.
        const struct Reenable {
            LoopSideHost& host;
            ~Reenable() { host.setEnabled(true); }
        } reenable{*host_};
        if (ctrl) {
            playFromLoopOn();
        } else if (alt) {
            cmdSlowPlay_Click();
        } else {
            btnLoopPlay_Click();
            programState().gvLoopHighlight = false;
        }
    });
}

void LoopSideOfMain::loopPoints_keyup(int keyCode, bool ctrl)
{
    TraceScope trace(module, "Sub loopPoints_keyup", {{"KeyCode", keyCode}, {"ctrl", ctrl}});
    trace.run([&] {
        if (isEditing(c_.loopPoints) || keyCode != deleteKey)
            return;
        if (!ctrl
            && forms::MsgBox(QStringLiteral("Are you sure want to delete this loop point?"),
                             forms::Buttons::YesNo, forms::Icon::Question)
                   != forms::Answer::Yes)
            return;
        ignoringErrors([&] { rows_.deleteCurrent(); });
    });
}

void LoopSideOfMain::mnuLoopHelp_Click()
{
    TraceScope trace(module, "Sub mnuLoopHelp_Click");
    trace.run([&] {
        forms::MsgBox(QStringLiteral(
            "Shows the Loop Points for this CD or Wave file. The left columns shows the track "
            "numbers and start times in milliseconds and are not editable. The other columns are "
            "for notes, lyrics and comments (not all columns are visible in all views) and can be "
            "edited by clicking on it.\n\n"
            "Double-clicking in the left column starts loop play. Ctrl-double-clicking starts "
            "playback at the loop point and continues to the end of the CD or Wave file\n\n"
            "You can edit loops by adjusting the sliders in the Trim window which appears when "
            "the loop plays. Click the Save button in that window to make your edits permanent.\n\n"
            "Pressing the Delete key deletes the Loop Point."));
    });
}

} // namespace lentaro
