// The trim window's life inside the main window.
#include "loops/loopSide.h"

#include "app/windowhelpers.h"
#include "loops/frmTrim.h"
#include "mainwindow/frmMain.h"

#include <QPushButton>
#include <QTableView>

namespace lentaro {

void LoopSide::showTrim()
{
    if (!trimOpen()) {
        trim_ = new frmTrim(
            main_, rows_, [this](int in, int out) { playLoop(false, in, out); },
            [this](int& start, int& end) { rowLimits(start, end); });
        showHideTrackInfo(false);
        trim_->show();
        trim_->raise();
    }
    trim_->setTrimLimits();
}

void LoopSide::setTrimZoomEnabled(bool enabled)
{
    if (trim_)
        trim_->cmdZoom->setEnabled(enabled);
}

void LoopSide::closeTrim()
{
    if (!trimOpen())
        return;
    trim_->Form_QueryUnload();
    delete trim_.data();
}

} // namespace lentaro
