#include "platform/registry/HiveStore.h"

#include "platform/registry/HiveFile.h"
#include "platform/registry/HiveText.h"
#include "platform/registry/RegistryFolder.h"

#include <cstdio>
#include <map>
#include <mutex>

namespace fs = std::filesystem;

namespace lentaro::registry {

namespace {

struct LoadedHive {
    Key root;
    FileStamp stamp;
    FileHandle held; // the file it was read from, kept open so its inode number stays taken
};

std::mutex& storeMutex()
{
    static std::mutex mutex;
    return mutex;
}

// By file path, so that a changed registry folder starts from its own files.
std::map<fs::path, LoadedHive>& loadedHives()
{
    static std::map<fs::path, LoadedHive> hives;
    return hives;
}

Result setAsideDamaged(const fs::path& file, const std::string& problem)
{
    fs::path keptAs;
    std::string moveProblem;
    if (!moveAside(file, keptAs, moveProblem)) {
        return Result::failure(Status::HiveDamaged,
                               "The registry file " + file.string() + " is damaged (" + problem
                                   + ") and could not be moved aside (" + moveProblem
                                   + "); it is left untouched and nothing is stored in it until "
                                     "it is repaired or removed.");
    }
    const std::string message = "The registry file " + file.string() + " was damaged (" + problem
                                + "); it is kept as " + keptAs.string()
                                + " and its settings start afresh.";
    // Also on standard error, so that the loss is seen even where the caller stays silent.
    std::fprintf(stderr, "lentaro: %s\n", message.c_str());
    return Result::failure(Status::HiveDamaged, message);
}

Result load(const fs::path& file, LoadedHive*& loaded)
{
    std::map<fs::path, LoadedHive>& hives = loadedHives();
    const FileStamp stamp = stampOf(file);
    auto it = hives.find(file);
    if (it != hives.end() && it->second.stamp == stamp) {
        loaded = &it->second;
        return {};
    }
    hives.erase(file);
    LoadedHive fresh;
    if (stamp.exists) {
        std::string text, problem;
        if (!openForReading(file, fresh.held, fresh.stamp, problem)
            || !readWholeFile(fresh.held, file, text, problem)) {
            return Result::failure(Status::IoError, "Cannot read the registry: " + problem);
        }
        if (!parseHive(text, fresh.root, problem))
            return setAsideDamaged(file, problem);
    }
    loaded = &(hives[file] = std::move(fresh));
    return {};
}

Result withLoadedHive(Hive hive,
                      const std::function<Result(LoadedHive&, const fs::path& file)>& step)
{
    std::lock_guard<std::mutex> guard(storeMutex());
    const fs::path folder = registryFolder();
    if (folder.empty()) {
        return Result::failure(Status::IoError, "No folder for the registry: none of "
                                                "LENTARO_REGISTRY_DIR, XDG_CONFIG_HOME and HOME "
                                                "is set.");
    }
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        return Result::failure(Status::IoError, "Cannot create the registry folder "
                                                    + folder.string() + ": " + error.message());
    }
    const fs::path file = folder / hiveFileName(hive);
    FileLock lock(folder / (std::string(hiveFileName(hive)) + ".lock"));
    if (!lock.held()) {
        return Result::failure(Status::IoError, "Cannot lock the registry: " + lock.problem());
    }
    LoadedHive* loaded = nullptr;
    Result result = load(file, loaded);
    if (!result.ok())
        return result;
    return step(*loaded, file);
}

} // namespace

Result readHive(Hive hive, const std::function<Result(const Key& root)>& action)
{
    return withLoadedHive(hive,
                          [&](LoadedHive& loaded, const fs::path&) { return action(loaded.root); });
}

Result changeHive(Hive hive, const std::function<Result(Key& root, bool& changed)>& action)
{
    return withLoadedHive(hive, [&](LoadedHive& loaded, const fs::path& file) {
        bool changed = false;
        Result result = action(loaded.root, changed);
        if (!result.ok() || !changed)
            return result;
        removeLeftoverTemporaries(file);
        std::string problem;
        if (!replaceFileAtomically(file, formatHive(loaded.root), problem)) {
            loadedHives().erase(file); // memory must not hold what the file does not
            return Result::failure(Status::IoError, "Cannot store the registry: " + problem);
        }
        // The change is stored; failing to hold the new file only means reading it again.
        if (!openForReading(file, loaded.held, loaded.stamp, problem))
            loadedHives().erase(file);
        return result;
    });
}

} // namespace lentaro::registry
