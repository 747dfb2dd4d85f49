#pragma once

#include <QString>
#include <QStyledItemDelegate>

#include <set>

namespace lentaro {

namespace mci {
class MMControl;
}

// The tracks of the disc in the CD control's drive that hold data, not audio, as the disc's
// table of contents gives them; none without a disc.
std::set<int> dataTracksOf(const mci::MMControl& CDControl);

// What the status shows while a data track plays: silence.
QString dataTrackPlaying(int track);
// Why a data track is not copied or recorded.
QString dataTrackRefusal(int track);

// Marks the data tracks' rows of the tracks grid: the name says so, in the grey of disabled text.
class DataTrackMarks : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setDataTracks(std::set<int> tracks) { tracks_ = std::move(tracks); }
    bool holdsData(int track) const { return tracks_.count(track) != 0; }

    // How a cell of the grid is drawn.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    std::set<int> tracks_;
};

} // namespace lentaro
