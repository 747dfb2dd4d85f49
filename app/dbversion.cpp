#include "app/dbversion.h"

#include "app/Preference.h"

namespace lentaro {

QString readDbVersion()
{
    Preference version;
    version.setPreferenceName(QStringLiteral("dbVersion"));
    return version.Value().toString();
}

void writeDbVersion(const QString& version)
{
    Preference stored;
    stored.setPreferenceName(QStringLiteral("dbVersion"));
    stored.setValue(version);
}

} // namespace lentaro
