// The CD view's title, artist and comments fields.
#include "cd/cdfields.h"

#include "app/dataerror.h"
#include "app/storagetrouble.h"
#include "cd/cdrows.h"
#include "cd/cdsidehost.h"
#include "mainwindow/gridediting.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/forms/prompts.h"
#include "trace/tracescope.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

// A right click on the field shows its explanation instead of the edit menu.
template <typename Handler>
void explainOnRightClick(QLineEdit& field, QObject& context, Handler handler)
{
    field.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&field, &QWidget::customContextMenuRequested, &context, handler);
}

} // namespace

CdFields::CdFields(const CdSideControls& controls, CdSideHost& host) : c_(controls), host_(host)
{
    c_.CDTitle.setText(QStringLiteral("CD Title"));
    c_.CDTitle.setToolTip(QStringLiteral("A place for you to enter the title of the CD"));
    c_.Artist.setText(QStringLiteral("Artist"));
    c_.Artist.setToolTip(QStringLiteral("A place for you to enter the name of the artist"));
    c_.Comments.setToolTip(QStringLiteral("Enter extended comments on selected track"));

    connect(&c_.CDTitle, &QLineEdit::textChanged, this, [this] { CDTitle_Change(); });
    c_.Artist.installEventFilter(this);
    c_.Comments.installEventFilter(this);
    explainOnRightClick(c_.Artist, *this, [this] { Artist_MouseUp(); });
    explainOnRightClick(c_.CDTitle, *this, [this] { CDTitle_MouseUp(); });
    explainOnRightClick(c_.Comments, *this, [this] { Comments_MouseUp(); });
    // Text the program puts in a field is stored text.
    for (QLineEdit* field : {&c_.CDTitle, &c_.Artist, &c_.Comments}) {
        connect(field, &QLineEdit::textChanged, this, [this, field] {
            if (!field->isModified())
                markSaved(*field, true);
        });
    }
    connect(&c_.CDTitle, &QLineEdit::editingFinished, this, [this] { storeDiscText(true); });
    connect(&c_.Artist, &QLineEdit::editingFinished, this, [this] { storeDiscText(false); });
    connect(&c_.Comments, &QLineEdit::editingFinished, this, [this] { storeComments(); });

    QTableView& grid = c_.tgTracks;
    grid.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&grid, &QWidget::customContextMenuRequested, this, [this, &grid](const QPoint& at) {
        tgTracks_MouseUp(grid.viewport()->mapToGlobal(at));
    });
    connect(&c_.mnuTrackGridPopup, &QMenu::aboutToShow, this,
            [this] { mnuTrackGridPopup_Click(); });
    connect(&c_.mnuOpenNotationFile, &QAction::triggered, this,
            [this] { mnuOpenNotationFile_Click(); });
    connect(&c_.mnuChangeNotationFile, &QAction::triggered, this,
            [this] { mnuChangeNotationFile_Click(); });
    connect(&c_.mnuViewHelpTracksGrid, &QAction::triggered, this,
            [this] { mnuViewHelpTracksGrid_Click(); });
}

bool CdFields::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &c_.Artist && event->type() == QEvent::FocusIn)
        Artist_GotFocus();
    else if (watched == &c_.Comments && event->type() == QEvent::KeyPress)
        Comments_KeyPress();
    return false;
}

void CdFields::CDTitle_Change()
{
    TraceScope trace(module, "Sub CDTitle_Change");
    trace.run([&] { c_.window.setWindowTitle(QStringLiteral("Lentaro: ") + c_.CDTitle.text()); });
}

void CdFields::Artist_GotFocus()
{
    TraceScope trace(module, "Sub Artist_GotFocus");
    ignoringErrors([&] {
        QLineEdit& artist = c_.Artist;
        // Typing then replaces the placeholder.
        if (artist.text().compare(QLatin1String("Artist"), Qt::CaseInsensitive) == 0)
            artist.setSelection(0, static_cast<int>(artist.text().size()));
    });
}

void CdFields::Artist_MouseUp()
{
    TraceScope trace(module, "Sub Artist_MouseUp");
    trace.run([&] {
        forms::MsgBox(QStringLiteral("Displays the artist for the CD currently in the drive. Not "
                                     "editable if no CD is present"));
    });
}

void CdFields::CDTitle_MouseUp()
{
    TraceScope trace(module, "Sub CDTitle_MouseUp");
    trace.run([&] {
        forms::MsgBox(QStringLiteral("Displays the title of the CD currently in the drive. Not "
                                     "editable if no CD is present"));
    });
}

void CdFields::Comments_MouseUp()
{
    TraceScope trace(module, "Sub Comments_MouseUp");
    trace.run([&] {
        forms::MsgBox(QStringLiteral("Use this space to enter comments as long as you like about "
                                     "the track currently selected in the Tracks list."));
    });
}

void CdFields::Comments_KeyPress()
{
    TraceScope trace(module, "Sub Comments_KeyPress");
    trace.run([&] { host_.stampTyping(); });
}

void CdFields::storeDiscText(bool title)
{
    QLineEdit& field = title ? c_.CDTitle : c_.Artist;
    // Only what the user typed: status texts shown in the title field are no title.
    if (!field.isModified())
        return;
    field.setModified(false);
    const int CDid = c_.state.currentCDid;
    if (CDid == 0)
        return;
    try {
        CdRows(c_.state.database())
            .setDiscText(CDid, title ? CdRows::DiscText::Title : CdRows::DiscText::Artist,
                         field.text());
        markSaved(field, true);
    } catch (...) {
        notSaved(field, title ? QStringLiteral("CD title") : QStringLiteral("artist"), "CDs");
    }
}

void CdFields::markSaved(QLineEdit& field, bool saved)
{
    // What was typed and not stored stays, in red, and is stored again when the field is left.
    field.setModified(!saved);
    QPalette palette = field.palette();
    palette.setColor(QPalette::Text,
                     saved ? QApplication::palette(&field).color(QPalette::Text) : QColor(Qt::red));
    field.setPalette(palette);
}

void CdFields::notSaved(QLineEdit& field, const QString& what, const char* control)
{
    markSaved(field, false);
    const QString trouble = storageTrouble();
    if (trouble.isEmpty()) {
        showDataError(errorNumbers::databaseCallFailed, control);
        return;
    }
    forms::MsgBox(QStringLiteral("The %1 you typed could not be saved, because %2. It stays in the "
                                 "field, in red, and is saved when you leave the field again.")
                      .arg(what, trouble),
                  forms::Buttons::OkOnly, forms::Icon::Exclamation);
}

void CdFields::keepTyped()
{
    endEditing(c_.tgTracks);
    endEditing(c_.loopPoints);
    storeDiscText(true);
    storeDiscText(false);
    storeComments();
}

int CdFields::currentTrackRow() const
{
    const QModelIndex current = c_.tgTracks.currentIndex();
    return current.isValid() && c_.state.dtaTracks ? current.row() : -1;
}

void CdFields::showTrackComments()
{
    // Comments typed for the row shown before are that row's.
    storeComments();
    QSqlTableModel* tracks = c_.state.dtaTracks;
    const int row = currentTrackRow();
    commentsKey_ = row >= 0 ? tracks->record(row).value(QStringLiteral("rowKey")) : QVariant();
    c_.Comments.setText(row >= 0 ? tracks->record(row).value(QStringLiteral("Comments")).toString()
                                 : QString());
    // Without a track there is nowhere to keep a comment: none can be typed.
    c_.Comments.setReadOnly(commentsKey_.isNull());
}

void CdFields::storeComments()
{
    QLineEdit& comments = c_.Comments;
    if (!comments.isModified() || commentsKey_.isNull())
        return;
    comments.setModified(false);
    // By the row's key: the grid may show another disc's rows by now.
    QSqlQuery update(c_.state.database());
    update.prepare(QStringLiteral("UPDATE Tracks SET Comments = ? WHERE rowKey = ?"));
    update.addBindValue(comments.text());
    update.addBindValue(commentsKey_);
    if (!update.exec()) {
        notSaved(comments, QStringLiteral("comment"), "Tracks");
        return;
    }
    markSaved(comments, true);
    QSqlTableModel& tracks = *c_.state.dtaTracks;
    for (int row = 0; row < tracks.rowCount(); ++row) {
        if (tracks.record(row).value(QStringLiteral("rowKey")) == commentsKey_) {
            tracks.selectRow(row);
            return;
        }
    }
}

} // namespace lentaro
