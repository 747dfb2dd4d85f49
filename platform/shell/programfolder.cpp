#include "platform/shell/programfolder.h"

#include <QDir>
#include <QStandardPaths>

namespace lentaro {

QString programFolder()
{
    QString folder = qEnvironmentVariable("LENTARO_HOME");
    if (folder.isEmpty()) {
        // GenericDataLocation honours $XDG_DATA_HOME and falls back to ~/.local/share.
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                 + QStringLiteral("/lentaro");
    }
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    QDir().mkpath(folder);
    return folder;
}

} // namespace lentaro
