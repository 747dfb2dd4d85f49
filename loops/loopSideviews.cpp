// The loop grid's three views: Normal beside the tracks grid, Loop Detail and Big Lyrics across
// the window. A layout file that cannot be read leaves the grid with its built-in columns.
#include "loops/loopSide.h"

#include "app/windowhelpers.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/shell/programfolder.h"
#include "trace/tracescope.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include <exception>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

// The views' sizes were set in twips, 15 to a pixel.
constexpr int pixels(int twips)
{
    return twips / 15;
}

constexpr int viewHeight = pixels(3500);
constexpr int detailWidth = pixels(9765);

} // namespace

void LoopSideOfMain::useLayout(const QString& fileName, const QString& layoutName)
{
    try {
        layout_ = readGridLayout(programFolder() + QLatin1Char('/') + fileName, layoutName);
    } catch (...) {
        layout_ = GridLayout::builtIn();
        applyLayout();
        throw;
    }
    applyLayout();
}

void LoopSideOfMain::applyLayout()
{
    applyGridLayout(c_.loopPoints, layout_, [this](int error) { dtaLoopPoints_Error(error); });
}

void LoopSideOfMain::mnuChooseView_Click(int index)
{
    TraceScope trace(module, "Sub mnuChooseView_Click", {{"Index", index}});
    trace.run([&] {
        // Chosen first: the switch into the "CD" view lays this layout out.
        c_.state.setCurrentView(index);
        if (!c_.state.cdView)
            host_->changeToMode(QStringLiteral("CD"), false);
        else
            showGridView(index);
    });
}

void LoopSideOfMain::showGridView(int index)
{
    TraceScope trace(module, "Sub showGridView", {{"Index", index}});
    trace.run([&] {
        // The disc's title and artist belong to the Normal layout; the others lay the grid
        // over their place.
        for (QWidget* field :
             {static_cast<QWidget*>(&c_.CDTitle), static_cast<QWidget*>(&c_.Artist),
              static_cast<QWidget*>(&c_.lblCDTitle), static_cast<QWidget*>(&c_.lblArtist)})
            field->setVisible(index == 1);
        if (index == 1) {
            restoreLoopPointToNormalView();
        } else if (index == 2) {
            showLoopDetails();
        } else if (index == 3) {
            QTableView& grid = c_.loopPoints;
            grid.setGeometry(0, 0, grid.parentWidget()->width(), viewHeight);
            grid.raise();
            c_.Comments.hide();
            showHideTrackInfo(false);
            useLayout(QStringLiteral("biglyric.grx"), QStringLiteral("biglyric"));
        }
    });
}

void LoopSideOfMain::showLoopDetails()
{
    TraceScope trace(module, "Sub showLoopDetails");
    trace.run([&] {
        QTableView& grid = c_.loopPoints;
        ignoringErrors([&] { useLayout(QStringLiteral("detail.grx"), QStringLiteral("detail")); });
        ignoringErrors([&] {
            grid.setGeometry(0, 0, detailWidth, viewHeight);
            grid.raise();
        });
        ignoringErrors([&] { c_.Comments.hide(); });
        ignoringErrors([&] { showHideTrackInfo(false); });
    });
}

void LoopSideOfMain::restoreLoopPointToNormalView()
{
    TraceScope trace(module, "Sub restoreLoopPointToNormalView");
    trace.run([&] {
        QTableView& grid = c_.loopPoints;
        const QTableView& tracks = c_.tgTracks;
        // Beside the tracks grid, as wide as the window leaves it.
        const int left = tracks.x() + tracks.width() + 10;
        grid.setGeometry(left, tracks.y(), grid.parentWidget()->width() - left - 10,
                         tracks.height());
        c_.Comments.show();
        showHideTrackInfo(true);
        useLayout(QStringLiteral("smallvw.grx"), QStringLiteral("smallvw"));
    });
}

} // namespace lentaro
