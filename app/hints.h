#pragma once

#include <QString>

namespace lentaro {

// Shows the hint hintID modally and returns true for Continue, false for Cancel or a close from
// the title bar. A hint the user switched off (its preference reads as 0 or False) is not shown
// and counts as Continue, unless forceIt: then it is shown with "Don't show this again" checked.
// Any other value, unset included, shows it.
bool ShowHint(const QString& hintID, bool forceIt = false);

} // namespace lentaro
