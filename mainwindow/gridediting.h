#pragma once

#include <QAbstractItemView>

namespace lentaro {

namespace detail {
// The item views keep whether a cell is being edited to themselves.
struct ViewState : QAbstractItemView {
    using QAbstractItemView::state;
    static constexpr State editing = EditingState;
};
} // namespace detail

// True while a cell of the view has its editor open.
inline bool isEditing(const QAbstractItemView& view)
{
    return (view.*&detail::ViewState::state)() == detail::ViewState::editing;
}

} // namespace lentaro
