#include "app/dbversion.h"

#include "platform/registry/Registry.h"


namespace lentaro {

namespace {

constexpr auto preferencesKey = "Software\\VB and VBA Program Settings\\Lentaro\\Preferences";
constexpr auto valueName = "dbVersion";
const QString unset = QStringLiteral("N/A");
// Longer data cannot be read back as a preference.
constexpr std::size_t longestPreference = 255;

} // namespace

QString readDbVersion()
{
    registry::Value value;
    if (!registry::getValue(registry::RootKey::CurrentUser, preferencesKey, valueName, value).ok())
        return unset;
    const std::string bytes = value.bytes();
    if (bytes.empty() || bytes.size() > longestPreference)
        return unset;
    return QString::fromStdString(bytes);
}

void writeDbVersion(const QString& version)
{
    // A failed write leaves the old value, as for every preference.
    if (registry::createKey(registry::RootKey::CurrentUser, preferencesKey).ok()) {
        registry::setValue(registry::RootKey::CurrentUser, preferencesKey, valueName,
                           registry::Value::binary(version.toStdString()));
    }
}

} // namespace lentaro
