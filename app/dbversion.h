#pragma once

#include <QString>

namespace lentaro {

// The preference dbVersion: the schema version of the database as text ("7" is current),
// "N/A" when unset.
QString readDbVersion();
void writeDbVersion(const QString& version);

} // namespace lentaro
