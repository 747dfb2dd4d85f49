#pragma once

class QWidget;

namespace lentaro {

// Switching all tooltips of a window off and on. Each control keeps its design-time tooltip in a
// stash of its own, a property of the widget; menus, timers and other objects that are not widgets
// are passed over.

// Stashes every control's tooltip. While the window's tooltips are hidden it changes nothing,
// so the blanked texts never replace the stashed ones.
void stashTooltips(QWidget* form);

// Blanks every control's tooltip, stashing first the text of any control that has no stash yet.
void hideTooltips(QWidget* form);

// Gives every control that has a stash its stashed tooltip back.
void showTooltips(QWidget* form);

// showTooltips when gvShowTooltips is set, else hideTooltips.
void checkTooltips(QWidget* form);

} // namespace lentaro
