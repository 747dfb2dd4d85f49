#pragma once

#include <QString>

namespace lentaro {

// Why the program folder could not take what was to be stored there, when the folder is to
// blame rather than the program: it is full, or it or its database is read-only. Said as a
// clause that names it, then what to do ("the program folder /home/ann/.local/share/lentaro is
// full. Free some space on its disk and try again"); empty when the folder takes files and the
// reason lies elsewhere. The folder is tried by writing a small file into it.
QString storageTrouble();

} // namespace lentaro
