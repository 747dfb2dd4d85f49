#pragma once

#include <QAbstractItemView>

namespace lentaro {

namespace detail {
// The item views keep whether a cell is being edited to themselves.
struct ViewState : QAbstractItemView {
    using QAbstractItemView::closeEditor;
    using QAbstractItemView::commitData;
    using QAbstractItemView::edit;
    using QAbstractItemView::state;
    static constexpr State editing = EditingState;
};
} // namespace detail

// True while a cell of the view has its editor open.
inline bool isEditing(const QAbstractItemView& view)
{
    return (view.*&detail::ViewState::state)() == detail::ViewState::editing;
}

// Stores the cell being edited, if any, and closes its editor.
inline void endEditing(QAbstractItemView& view)
{
    QWidget* editor = isEditing(view) ? view.indexWidget(view.currentIndex()) : nullptr;
    if (!editor)
        return;
    (view.*&detail::ViewState::commitData)(editor);
    (view.*&detail::ViewState::closeEditor)(editor, QAbstractItemDelegate::NoHint);
}

// Drops the edit a click on the current cell asked for, which the view opens only once no
// double-click can follow any more: a key pressed meanwhile then acts at once, as a key.
inline void dropClickEdit(QAbstractItemView& view)
{
    // An edit asked for by a change of the current cell ends that wait; with no edit trigger of
    // that kind, nothing opens.
    if (view.editTriggers().testFlag(QAbstractItemView::CurrentChanged))
        return;
    constexpr auto edit = static_cast<bool (QAbstractItemView::*)(
        const QModelIndex&, QAbstractItemView::EditTrigger, QEvent*)>(&detail::ViewState::edit);
    (view.*edit)(view.currentIndex(), QAbstractItemView::CurrentChanged, nullptr);
}

} // namespace lentaro
