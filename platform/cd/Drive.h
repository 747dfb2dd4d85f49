#pragma once

#include "platform/cd/FrameReader.h"
#include "platform/cd/Toc.h"

#include <memory>
#include <string>

namespace lentaro::cd {

// Why a drive cannot be used now. No disc is not a failure: the drive can be used, it reads no
// tracks.
enum class DriveProblem {
    None,
    NoDisc,
    HeldElsewhere, // another program holds the drive (or the image's .cue) exclusively
    NoPermission,
    NotReadable,
};

struct DriveAccess {
    DriveProblem problem = DriveProblem::None;
    std::string detail; // a sentence for the user; names the holder when it is known
};

struct OpenedFrames {
    std::unique_ptr<FrameReader> reader; // null when the disc cannot be read
    DriveAccess access;
};

// A CD drive, or a disc image standing in for one. Every answer is for the disc in the drive at
// the moment of the call, and no call leaves the drive open behind it (the tray would stay
// locked); only a FrameReader holds it open, while it lives. Calls may come from any thread.
class Drive
{
public:
    virtual ~Drive() = default;

    // 'D' to 'Z', given by the drive list; 0 for a drive in no list.
    char letter() const { return m_letter; }
    // "CD drive E:", for messages.
    std::string name() const;

    // The device (/dev/sr0) or the image's .cue, for messages.
    virtual std::string path() const = 0;
    // The block device node udev reports changes of; empty for an image.
    virtual std::string deviceNode() const = 0;

    virtual bool discPresent() = 0;
    virtual bool trayOpen() = 0;
    // Empty without a disc.
    virtual Toc toc() = 0;
    virtual bool eject() = 0;
    virtual bool closeTray() = 0;
    // Whether this program may use the drive now: NoDisc, HeldElsewhere, NoPermission or None.
    virtual DriveAccess access() = 0;
    bool heldElsewhere() { return access().problem == DriveProblem::HeldElsewhere; }

    virtual OpenedFrames openFrames() = 0;

    // Why the disc in the drive cannot be used whole, a sentence for the user naming it; "" when
    // nothing is wrong, also without a disc. Only an image can be damaged so.
    virtual std::string discProblem() { return {}; }

private:
    friend class DriveList;
    char m_letter = 0;
};

} // namespace lentaro::cd
