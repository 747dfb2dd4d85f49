#include "controls/vostrel/systeminfo.h"

#include "platform/registry/Registry.h"

#include <QFileInfo>

namespace lentaro {

namespace {

std::optional<QString> machineText(const char* key, const char* name)
{
    registry::Value value;
    if (!registry::getValue(registry::RootKey::LocalMachine, key, name, value).ok())
        return std::nullopt;
    std::optional<std::string> text = value.text();
    if (!text)
        return std::nullopt;
    // Read as text cut at the first NUL.
    const QString cut = QString::fromUtf8(text->c_str());
    if (cut.isEmpty())
        return std::nullopt;
    return cut;
}

} // namespace

std::optional<QString> systemInfoPath()
{
    if (std::optional<QString> path =
            machineText("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"))
        return path;
    std::optional<QString> folder =
        machineText("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO");
    if (!folder)
        return std::nullopt;
    const QString path = *folder + QStringLiteral("/MSINFO32.EXE");
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return path;
}

} // namespace lentaro
