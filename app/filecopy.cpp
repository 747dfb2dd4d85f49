#include "app/filecopy.h"

#include <QFile>

#include <filesystem>

namespace lentaro {

namespace fs = std::filesystem;

void replaceWithCopy(const QString& source, const QString& target)
{
    const fs::path to(QFile::encodeName(target).toStdString());
    const fs::path partial(to.string() + ".copying");
    std::error_code ignored;
    // What an interrupted copy left goes first (a link as a link, never what it names); a
    // folder holding files stays and makes the copy fail.
    fs::remove(partial, ignored);
    try {
        fs::copy_file(QFile::encodeName(source).toStdString(), partial);
        fs::permissions(partial, fs::perms::owner_write, fs::perm_options::add);
        fs::rename(partial, to);
    } catch (...) {
        fs::remove(partial, ignored);
        throw;
    }
}

} // namespace lentaro
