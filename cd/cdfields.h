#pragma once

#include "cd/cdsidecontrols.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QVariant>

class QLineEdit;

namespace lentaro {

class CdSideHost;

// The CD view's text fields and the tracks grid's right-button menu. The title and artist
// fields write to the disc's CDs row and the comments to the current Tracks row when the user
// leaves them, the caption follows the title as it is typed, and each field explains itself on
// a right click. The menu makes a loop of the track, opens or links its notation file (any file
// the desktop can open), records it digitally, or explains the grid.
class CdFields : public QObject
{
public:
    CdFields(const CdSideControls& controls, CdSideHost& host);

    // The tracks' data control stands on another row or holds other rows: the comments show
    // the current row's, after what was typed for the row shown before is stored.
    void showTrackComments();
    // Stores what was typed and not yet left: the title, the artist, the comments and a cell of
    // the tracks or loop grid still being edited. Called before the fields show another disc.
    void keepTyped();

    void CDTitle_Change();
    void Artist_GotFocus();
    // A right click on the title, artist or comments field.
    void Artist_MouseUp();
    void CDTitle_MouseUp();
    void Comments_MouseUp();
    void Comments_KeyPress();

    // The menu at a right click in the tracks grid, at that point of the screen.
    void tgTracks_MouseUp(const QPoint& where);
    void setMnuTrackGripPopupState();
    void mnuTrackGridPopup_Click();
    void mnuOpenNotationFile_Click();
    void mnuChangeNotationFile_Click();
    void mnuViewHelpTracksGrid_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The field left: what the user typed goes to the database.
    void storeDiscText(bool title);
    void storeComments();
    // Shows the field's text as stored, or as typed and not stored.
    void markSaved(QLineEdit& field, bool saved);
    // The field's text could not be stored: it stays, marked, and the user learns why.
    void notSaved(QLineEdit& field, const QString& what, const char* control);
    // The current Tracks row's notation path; "" for none.
    QString notation() const;
    void setNotation(const QString& path);
    int currentTrackRow() const;

    CdSideControls c_;
    CdSideHost& host_;
    // The key of the Tracks row whose comments the field shows; null for none.
    QVariant commentsKey_;
};

} // namespace lentaro
