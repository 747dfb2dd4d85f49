#include "cd/cdidentification.h"

#include "app/ownerrorbox.h"
#include "app/programstate.h"
#include "app/webaddresses.h"
#include "cd/cdrows.h"
#include "cd/mcihelpers.h"
#include "mainwindow/fieldcolumn.h"
#include "mainwindow/ignoringerrors.h"
#include "mainwindow/mainstate.h"
#include "platform/cd/DigitalReader.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screencursor.h"
#include "platform/mci/MMControl.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QLabel>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlTableModel>
#include <QTableView>

namespace lentaro {

namespace {

constexpr char module[] = "main form";

const QString noAudioText = QStringLiteral("CD-ROM (no audio tracks)");
const QString lookingUpText = QStringLiteral("Looking up CD...");
const QString cdFoundText = QStringLiteral("CD Found");

constexpr int msFormat = 0;
constexpr int msfFormat = 2;

// Status texts go into the title field for show only: the field is not a row's Title then.
void showStatusInTitle(QLineEdit& CDTitle, const QString& text)
{
    const QSignalBlocker noEdit(CDTitle);
    CDTitle.setText(text);
}

} // namespace

CdIdentification::CdIdentification(CdDisplayControls controls, cd::DigitalReader& ACD1)
    : c_(std::move(controls)),
      ACD1_(ACD1),
      clock_([] { return std::chrono::steady_clock::now().time_since_epoch(); })
{
}

CdRows CdIdentification::rows() const
{
    return CdRows(c_.state.database());
}

int CdIdentification::currentCdlen() const
{
    if (c_.state.currentCDid == 0)
        return 0;
    const std::optional<CdRow> row = rows().row(c_.state.currentCDid);
    return row ? row->cdlen : 0;
}

void CdIdentification::ms()
{
    c_.CDControl.setTimeFormat(msFormat);
}

void CdIdentification::checkCDPresent()
{
    if (checking_) {
        checkAgain_ = true;
        return;
    }
    checking_ = true;
    do {
        checkAgain_ = false;
        checkOnce();
    } while (checkAgain_);
    checking_ = false;
}

void CdIdentification::checkOnce()
{
    TraceScope trace(module, "Sub checkCDPresent");
    trace.run([&] {
        // Typed for the disc shown until now, which the check may replace.
        c_.keepTyped();
        if (!CDpresent()) {
            showNoDisc();
            return;
        }
        const Found found = checkCD();
        if (found == Found::Nothing) {
            // A disc that was not identified leaves no other disc current.
            showNoDisc();
            return;
        }
        if (found == Found::Disc && currentCdlen() > 0) {
            shown_ = Found::Disc;
            c_.pnlTrackLength.setVisible(true);
            c_.pnlCDlength.setVisible(true);
            showDiscStatus();
        }
    });
}

void CdIdentification::showDiscStatus()
{
    switch (shown_) {
    case Found::Disc:
        c_.pnlMsg.setText(cdFoundText);
        break;
    case Found::NoAudio:
        c_.pnlMsg.setText(noAudioText);
        break;
    case Found::Nothing:
        c_.pnlMsg.setText(QStringLiteral("No CD in drive"));
        break;
    }
}

void CdIdentification::showNoDisc()
{
    shown_ = Found::Nothing;
    showDriveButtons();
    showDiscStatus();
    hidePanels();
    hideCDfields();
    setDiscTextEditable(false);
    showStatusInTitle(c_.CDTitle, QStringLiteral("No CD In Drive"));
    // Last: the caption the no-disc state shows.
    c_.window.setWindowTitle(QStringLiteral("Lentaro: No CD in drive"));
}

void CdIdentification::showNoAudio()
{
    shown_ = Found::NoAudio;
    showDriveButtons();
    hideCDfields();
    setDiscTextEditable(false);
    showStatusInTitle(c_.CDTitle, noAudioText);
    showDiscStatus();
    hidePanels();
    c_.window.setWindowTitle(noAudioText);
}

void CdIdentification::showDriveButtons()
{
    // Enabled, its buttons as the drive allows now (the reader may have moved the tray behind
    // its back): with no disc, Eject alone, so that a second Eject closes the tray.
    c_.CDControl.setEnabled(true);
    c_.CDControl.setAutoEnable(true);
}

void CdIdentification::setDiscTextEditable(bool editable)
{
    // No disc's title or artist to edit: typing there would write the "No CD" row.
    c_.CDTitle.setReadOnly(!editable);
    c_.Artist.setReadOnly(!editable);
}

void CdIdentification::hidePanels()
{
    c_.pnlTrackLength.setVisible(false);
    c_.pnlCDlength.setVisible(false);
}

bool CdIdentification::CDpresent()
{
    TraceScope trace(module, "Function CDpresent");
    return trace.run(false, [&] { return c_.CDControl.tracks() >= 1; });
}

CdIdentification::Found CdIdentification::checkCD()
{
    TraceScope trace(module, "Sub checkCD");
    // Any failure ends the check silently; the disc then counts as not identified.
    try {
        ms();
        const int L = getStableCDLength();
        const int t1 = track1Length();
        const std::optional<CdRow> current = rows().row(c_.state.currentCDid);
        if (current && current->cdlen == L && L > 0 && current->track1Len == t1) {
            if (c_.CDTitle.isHidden())
                showCDfields();
            return Found::Disc;
        }
        ms();
        return findAndShowCD();
    } catch (...) {
        return Found::Nothing;
    }
}

int CdIdentification::getStableCDLength()
{
    TraceScope trace(module, "Function getStableCDLength");
    int result = 0;
    const Qt::CursorShape remembered = forms::screenMousePointer();
    try {
        ms();
        const auto start = clock_();
        while (clock_() - start < std::chrono::seconds(3) && c_.CDControl.length() == 0) {
            forms::setScreenMousePointer(Qt::WaitCursor);
            c_.pnlMsg.setText(lookingUpText);
            c_.CDControl.setWait(true);
            c_.CDControl.setCommand(QStringLiteral("Close"));
            c_.CDControl.setWait(true);
            c_.CDControl.setCommand(QStringLiteral("Open"));
            if (!CDpresent()) {
                forms::setScreenMousePointer(remembered);
                return 0;
            }
        }
        if (CDpresent() && c_.CDControl.length() == 0) {
            forms::MsgBox(
                QStringLiteral("The CD player is not responding. A restart of Windows might fix "
                               "this problem.\r\n\r\nIf that doesn't work, go to the Control Panel "
                               "and double-click the Multimedia icon. In the Advanced (or Devices) "
                               "tab, one area is called Media Control Devices. This should contain "
                               "a CD Audio driver which is enabled (you can tell whether it's "
                               "enabled by double-clicking it and examining the dialog "
                               "box).\r\n\r\nAlso, if you click the CD Music tab of the Multimedia "
                               "Control Panel, the drive letter of your CD-ROM drive should appear "
                               "in the drop-down box labelled 'CD-ROM drive'. "));
        } else {
            result = c_.CDControl.length();
        }
    } catch (...) {
        showOwnErrorBox(RuntimeError::fromCurrentException(), "getStableCDLength");
    }
    if (forms::screenMousePointer() != remembered)
        forms::setScreenMousePointer(remembered);
    return result;
}

int CdIdentification::track1Length()
{
    TraceScope trace(module, "Function track1Length");
    try {
        ms();
        c_.CDControl.setTrack(1);
        // A length the device cannot give reads as 0.
        return c_.CDControl.trackLength();
    } catch (...) {
        return 0;
    }
}

bool CdIdentification::anyAudioTrack()
{
    // A data track 1 may be followed by audio tracks: such a disc is an audio disc.
    const int count = ACD1_.trackCount();
    if (count == 0 && c_.CDControl.tracks() == 0)
        return false;
    for (int track = 1; track <= count; ++track) {
        if (ACD1_.isAudioTrack(track))
            return true;
    }
    return false;
}

CdIdentification::Found CdIdentification::findAndShowCD()
{
    TraceScope trace(module, "Sub findAndShowCD");
    return trace.run(Found::Nothing, [&] {
        ProgramState& program = programState();
        ms();
        int tries = 0;
        while (c_.CDControl.length() == 0 && tries < 6) {
            ++tries;
            c_.pnlMsg.setText(lookingUpText);
            c_.CDControl.setWait(true);
            c_.CDControl.setCommand(QStringLiteral("Close"));
            c_.CDControl.setWait(true);
            c_.CDControl.setCommand(QStringLiteral("Open"));
        }
        // A length that came on the last re-open is used; none identifies nothing.
        if (c_.CDControl.length() == 0)
            return Found::Nothing;
        if (program.gvDigitalRecordingOK)
            ACD1_.openDrive(program.gvDigCDNum);
        const bool audio =
            program.gvDigitalRecordingOK ? anyAudioTrack() : c_.CDControl.tracks() != 0;
        if (!audio) {
            showNoAudio();
            return Found::NoAudio;
        }
        ms();
        const int len = c_.CDControl.length();
        const int t1 = track1Length();
        if (selectCD(len, t1))
            return addCD() ? Found::Disc : Found::Nothing;
        refreshDisplayForNewCD();
        return Found::Disc;
    });
}

bool CdIdentification::selectCD(int theLength, int t1Len)
{
    TraceScope trace(module, "Function selectCD", {{"theLength", theLength}, {"t1Len", t1Len}});
    return trace.run(true, [&] {
        const std::optional<int> found = rows().find(theLength, t1Len);
        if (!found)
            return true;
        c_.state.currentCDid = *found;
        return false;
    });
}

bool CdIdentification::addCD()
{
    TraceScope trace(module, "Sub addCD");
    return trace.run(false, [&] {
        if (!addCDdb())
            return false;
        c_.CDTitle.setEnabled(true);
        ignoringErrors([&] {
            if (c_.CDTitle.isVisible())
                c_.CDTitle.setFocus();
            c_.CDTitle.selectAll();
        });
        return true;
    });
}

bool CdIdentification::addCDdb()
{
    TraceScope trace(module, "Sub addCDdb");
    return trace.run(false, [&] {
        ms();
        const int CDid =
            rows().addDisc(c_.CDControl.length(), c_.CDControl.tracks(), track1Length());
        c_.state.currentCDid = CDid;
        refreshDisplayForNewCD();
        return true;
    });
}

void CdIdentification::refreshDisplayForNewCD()
{
    TraceScope trace(module, "Sub refreshDisplayForNewCD");
    trace.run([&] {
        c_.keepTyped();
        const std::optional<CdRow> row = rows().row(c_.state.currentCDid);
        if (!row)
            return;
        const QString id = QString::number(row->CDid);
        QSqlTableModel& tracks = *c_.state.dtaTracks;
        tracks.setFilter(QStringLiteral("CDid=") + id);
        tracks.setSort(fieldColumn(tracks, QStringLiteral("TrackNum")), Qt::AscendingOrder);
        if (!tracks.select())
            throw RuntimeError(errorNumbers::databaseCallFailed, tracks.lastError().text());
        if (c_.tgTracks.model() != &tracks)
            c_.tgTracks.setModel(&tracks);
        {
            const QSignalBlocker noEdit(c_.CDTitle);
            c_.CDTitle.setText(row->Title);
        }
        c_.Artist.setText(row->Artist);
        ignoringErrors([&] {
            // Another view's loops stay in the loop grid; the switch back to "CD" refreshes.
            if (!c_.state.cdView)
                return;
            QString reason;
            if (!c_.state.bindCdLoops(row->CDid, reason))
                return;
            c_.loopPoints.clearSelection();
            if (!row->lastLoopSelected || *row->lastLoopSelected <= 0)
                return;
            QSqlTableModel& loops = *c_.state.dtaLoopPoints;
            const int startTime = fieldColumn(loops, QStringLiteral("startTime"));
            for (int r = 0; r < loops.rowCount(); ++r) {
                if (loops.data(loops.index(r, startTime)).toInt() == *row->lastLoopSelected) {
                    c_.loopPoints.selectRow(r);
                    break;
                }
            }
        });
        showCDfields();
        c_.CDControl.setWait(true);
        c_.CDControl.setTimeFormat(msfFormat);
        const QString length = toMS(c_.CDControl.length()).left(5);
        c_.pnlCDlength.setText(QStringLiteral("CD Length: ") + length);
        if (length.section(QLatin1Char(':'), 0, 0).toInt() > 0 && !c_.playing())
            c_.switchToTrack(1);
        c_.txtCurrentPosition.setText(QStringLiteral("01:00:00"));
    });
}

void CdIdentification::hideCDfields()
{
    TraceScope trace(module, "Sub hideCDfields");
    ignoringErrors([&] {
        // No row current yet counts as a disc's: the no-CD record is looked up.
        if (c_.state.currentCDid != 0 && currentCdlen() <= 0)
            return;
        const std::optional<int> noCd = rows().noCdRecord();
        if (!noCd) {
            forms::MsgBox(QStringLiteral("There is an error in your database file. It must contain "
                                         "a record with cdID=1. Please send e-mail to ")
                          + supportEmailAddress);
            return;
        }
        c_.state.currentCDid = *noCd;
        refreshDisplayForNewCD();
    });
}

void CdIdentification::showCDfields()
{
    TraceScope trace(module, "Sub showCDfields");
    trace.run([&] {
        if (currentCdlen() == 0)
            return;
        for (QWidget* field :
             {static_cast<QWidget*>(&c_.CDTitle), static_cast<QWidget*>(&c_.Artist),
              static_cast<QWidget*>(&c_.loopPoints), static_cast<QWidget*>(&c_.tgTracks),
              static_cast<QWidget*>(&c_.Comments), static_cast<QWidget*>(&c_.lblTrackComments)})
            field->setVisible(true);
        setDiscTextEditable(true);
        QString caption = QStringLiteral("Lentaro");
        if (c_.state.cdView)
            caption += QStringLiteral(" - ") + c_.CDTitle.text();
        c_.window.setWindowTitle(caption);
        showDriveButtons();
    });
}

} // namespace lentaro
