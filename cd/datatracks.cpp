#include "cd/datatracks.h"

#include "platform/cd/DriveList.h"
#include "platform/mci/MMControl.h"

#include <QPalette>
#include <QSqlTableModel>

namespace lentaro {

std::set<int> dataTracksOf(const mci::MMControl& CDControl)
{
    std::set<int> tracks;
    const QString letter = CDControl.fileName().left(1);
    cd::Drive* drive = letter.isEmpty() ? nullptr : cd::cdDrives().drive(letter.at(0).toLatin1());
    if (!drive)
        return tracks;
    for (const cd::TocTrack& track : drive->toc().tracks) {
        if (!track.audio)
            tracks.insert(track.number);
    }
    return tracks;
}

QString dataTrackPlaying(int track)
{
    return QStringLiteral("Track %1 is a data track: no audio").arg(track);
}

QString dataTrackRefusal(int track)
{
    return QStringLiteral("Track %1 is a data track: it holds no audio to record.").arg(track);
}

void DataTrackMarks::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const auto* tracks = qobject_cast<const QSqlTableModel*>(index.model());
    if (!tracks || index.column() != tracks->fieldIndex(QStringLiteral("TrackName")))
        return;
    const int track =
        index.sibling(index.row(), tracks->fieldIndex(QStringLiteral("TrackNum"))).data().toInt();
    if (!holdsData(track))
        return;
    option->text += QStringLiteral(" (data track)");
    option->palette.setColor(QPalette::Text,
                             option->palette.color(QPalette::Disabled, QPalette::Text));
}

} // namespace lentaro
