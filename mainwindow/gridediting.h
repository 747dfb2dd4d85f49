#pragma once

#include <QAbstractItemView>

namespace lentaro {

namespace detail {
// The item views keep whether a cell is being edited to themselves.
struct ViewState : QAbstractItemView {
    using QAbstractItemView::closeEditor;
    using QAbstractItemView::commitData;
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

} // namespace lentaro
