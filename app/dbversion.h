#pragma once

#include <QString>

namespace lentaro {

// The preference dbVersion: the schema version of the database as text ("7" is current),
// "N/A" when unset. Kept where every preference is kept, as binary text in the user hive under
// "Software\VB and VBA Program Settings\Lentaro\Preferences", so the preferences module reads
// the same value; these two calls become its readPref/writePref when that module joins.
QString readDbVersion();
void writeDbVersion(const QString& version);

} // namespace lentaro
