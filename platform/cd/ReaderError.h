#pragma once

#include <string>

namespace lentaro::cd {

// The digital reader's error numbers: what its calls return when they refuse, and what Failure
// carries. 0 is success; the program ignores 701 (the user stopped the read).
enum class ReaderError {
    None = 0,
    NoDrives = 1, // initialising on a machine without CD drives
    Aborted = 701,
    NoSuchDrive = 702,
    DriveHeldElsewhere = 703,
    NoPermission = 704,
    NoDriveOpen = 705,
    NoDisc = 706,
    NoSuchTrack = 707,
    NotAudio = 708,
    OutsideAudio = 709,
    ReadRunning = 710,
    CannotWrite = 711,
    Unreadable = 712,
    DiscRemoved = 713,
    DriveStalled = 714,
    TrayFailed = 715,
};

// An error with the sentence that tells the user about it.
struct ReaderFault {
    ReaderError error = ReaderError::None;
    std::string text;
};

} // namespace lentaro::cd
