#pragma once

#include <QString>

namespace lentaro {

// What the program does when lentaro.mdb in the program folder cannot be opened, whichever
// start finds it: the message naming the file (and the reason, when there is one), then the
// exit path.
void databaseDidNotOpen(const QString& reason);

} // namespace lentaro
