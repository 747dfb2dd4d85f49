#pragma once

#include <filesystem>
#include <string>
#include <utility>

namespace lentaro::registry {

// Why an operation on the store failed.
enum class Status {
    Ok,
    InvalidName, // empty, too long or badly formed key name, or a root that cannot be changed
    UnknownRoot, // a root key this store does not keep
    KeyNotFound,
    ValueNotFound,
    HiveDamaged, // the hive file could not be read as a hive; see the message for where it went
    IoError,     // the folder or a file could not be read or written
    LockTimeout  // another process held the hive's lock for longer than the store waits
};

// Outcome of an operation; the message says, for people, what failed and where.
struct Result {
    Status status = Status::Ok;
    std::string message;
    // With HiveDamaged: the damaged hive file, and the name it is kept under now (empty when
    // it was left where it is).
    std::filesystem::path damagedFile;
    std::filesystem::path keptAs;

    bool ok() const { return status == Status::Ok; }

    static Result failure(Status status, std::string message)
    {
        return Result{status, std::move(message), {}, {}};
    }
};

} // namespace lentaro::registry
