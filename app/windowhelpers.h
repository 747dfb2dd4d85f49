#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace lentaro {

// Where a window of the given outer size stands when centred on a screen of the given area:
// half the room left over on each axis, truncated toward zero (so a window larger than the
// screen overlaps both edges alike).
QPoint centeredPosition(const QRect& screen, const QSize& window);

// Moves f, frame included, to the centre of its screen without resizing it.
void centerform(QWidget* f);
// Moves f so that it stands on the middle of `over`, sized to its contents first when nothing has
// sized it yet; its frame is taken to be as thick as over's.
void centerOver(QWidget& f, const QWidget& over);

// Enables or disables the main window (mainWindowFace); nothing happens while there is none.
void enableMainWindow(bool enabled);

// True when a window of exactly that name (case counts) is loaded.
bool isLoaded(const QString& frmName);

// Shows or hides the main window's track information (lblTracks, lblTrackComments, Comments,
// tgTracks, in that order, through mainWindowFace). The "SlowPlay" view never shows it, so
// showing it there does nothing. Without a main window, nothing happens.
void showHideTrackInfo(bool arf);

} // namespace lentaro
