#pragma once

#include <QString>

namespace lentaro {

// The folder holding the database, the working files, the trace settings and the logs:
// $LENTARO_HOME when set, else $XDG_DATA_HOME/lentaro (normally ~/.local/share/lentaro).
// Created when missing. Returned without a trailing slash.
QString programFolder();

} // namespace lentaro
