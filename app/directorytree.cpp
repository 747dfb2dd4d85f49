#include "app/directorytree.h"

#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QFile>

#include <filesystem>
#include <vector>

namespace lentaro {

namespace fs = std::filesystem;

namespace {

// Every entry of a folder, read before any of them is removed.
std::vector<fs::path> entriesOf(const fs::path& folder)
{
    std::vector<fs::path> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        entries.push_back(entry.path());
    return entries;
}

} // namespace

void deleteDirectoryTree(QString& path)
{
    // No trap of its own: a failure is the caller's to handle.
    TraceScope trace("Vellutilities", "Sub deleteDirectoryTree", {{"path", path}});
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (path.isEmpty())
        return;
    const fs::path folder(QFile::encodeName(path).toStdString());
    const fs::file_status status = fs::symlink_status(folder);
    if (!fs::exists(status))
        return;
    if (fs::is_symlink(status)) {
        fs::remove(folder);
        return;
    }
    if (!fs::is_directory(status))
        throw RuntimeError(76, QStringLiteral("Path not found: %1").arg(path));

    // Sub-folders are entered by their own entries, never through a link, and a sub-folder
    // named like this folder is deleted like any other.
    for (const fs::path& entry : entriesOf(folder)) {
        if (fs::is_directory(fs::symlink_status(entry))) {
            QString subfolder = QFile::decodeName(QByteArray::fromStdString(entry.native()));
            deleteDirectoryTree(subfolder);
        } else {
            fs::remove(entry);
        }
    }
    fs::remove(folder);
}

} // namespace lentaro
