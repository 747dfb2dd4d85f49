#include "platform/registry/HiveStore.h"

#include "platform/registry/HiveFile.h"
#include "platform/registry/HiveText.h"
#include "platform/registry/RegistryFolder.h"
#include "platform/registry/RetryUntil.h"
#include "platform/registry/SettingsFile.h"

#include <chrono>
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

// How long an operation waits for its turn, in this process and at the folder's lock: far
// longer than any write takes, short enough that a stuck holder shows as an error.
constexpr std::chrono::seconds lockWaitLimit(5);

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

// The hive stays unusable, and its file untouched, until someone repairs or removes it.
Result leftInPlace(const fs::path& file, const std::string& what)
{
    Result result = Result::failure(Status::HiveDamaged,
                                    "The registry file " + file.string() + " " + what
                                        + "; it is left untouched and nothing is stored in it "
                                          "until it is repaired or removed.");
    result.damagedFile = file;
    return result;
}

Result setAsideDamaged(const fs::path& file, const std::string& problem)
{
    fs::path keptAs;
    std::string moveProblem;
    if (!moveAside(file, keptAs, moveProblem)) {
        return leftInPlace(file, "is damaged (" + problem + ") and could not be moved aside ("
                                     + moveProblem + ")");
    }
    Result result =
        Result::failure(Status::HiveDamaged, "The registry file " + file.string() + " was damaged ("
                                                 + problem + "); it is kept as " + keptAs.string()
                                                 + " and its settings start afresh.");
    result.damagedFile = file;
    result.keptAs = keptAs;
    // Also on standard error, so that the loss is seen even where the caller stays silent.
    std::fprintf(stderr, "lentaro: %s\n", result.message.c_str());
    return result;
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
        switch (readSettingsFile(file, fresh.held, text, problem)) {
        case ReadOutcome::Ok:
            break;
        case ReadOutcome::Unreadable:
            return Result::failure(Status::IoError, "Cannot read the registry: " + problem);
        case ReadOutcome::NotRegular:
            // Only a regular file is moved aside. Anything else at the hive's name (a named
            // pipe, a device, a socket, a folder, or a link to one) is no file this store
            // wrote: renaming it keeps nothing of ours, and whatever put it there may still
            // use it (a program listening on the socket, a link made on purpose).
            return leftInPlace(file, "cannot be used (" + problem + ")");
        case ReadOutcome::TooLarge:
            return setAsideDamaged(file, problem);
        }
        fresh.stamp = stampOf(fresh.held);
        if (!parseHive(text, fresh.root, problem))
            return setAsideDamaged(file, problem);
    }
    loaded = &(hives[file] = std::move(fresh));
    return {};
}

Result withLoadedHive(Hive hive,
                      const std::function<Result(LoadedHive&, const fs::path& file)>& step)
{
    const auto deadline = waitClock().now() + lockWaitLimit;
    std::unique_lock<std::mutex> guard(storeMutex(), std::defer_lock);
    if (retryUntil(deadline, [&] { return guard.try_lock() ? Attempt::Taken : Attempt::Busy; })
        != Attempt::Taken) {
        return Result::failure(Status::LockTimeout,
                               "The registry is busy: another operation of this program has "
                               "held it for more than "
                                   + std::to_string(lockWaitLimit.count()) + " seconds.");
    }
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
    FileLock lock(folder / (std::string(hiveFileName(hive)) + ".lock"), deadline);
    if (lock.timedOut()) {
        return Result::failure(Status::LockTimeout,
                               "The registry is busy: " + lock.problem() + " for more than "
                                   + std::to_string(lockWaitLimit.count()) + " seconds.");
    }
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
        const std::string text = formatHive(loaded.root);
        std::string problem;
        // A hive beyond what a reader accepts would be refused as damaged at the next start.
        if (text.size() > settingsFileSizeLimit) {
            problem =
                "it would hold more than " + std::to_string(settingsFileSizeLimit >> 20) + " MiB";
        }
        if (!problem.empty() || !replaceFileAtomically(file, text, problem)) {
            loadedHives().erase(file); // memory must not hold what the file does not
            return Result::failure(Status::IoError, "Cannot store the registry: " + problem);
        }
        // The change is stored; failing to hold the new file only means reading it again.
        if (openSettingsFile(file, loaded.held, problem) == ReadOutcome::Ok)
            loaded.stamp = stampOf(loaded.held);
        else
            loadedHives().erase(file);
        return result;
    });
}

} // namespace lentaro::registry
