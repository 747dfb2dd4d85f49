#include "platform/shell/executablename.h"

#include <QFileInfo>

namespace lentaro {

QString executableName()
{
    // /proc/self/exe works before any QCoreApplication exists.
    const QFileInfo exe(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
    return exe.completeBaseName();
}

} // namespace lentaro
