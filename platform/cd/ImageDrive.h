#pragma once

#include "platform/cd/Drive.h"

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>

namespace lentaro::cd {

// A disc image standing in for a drive: name.cue with its data in name.bin beside it (see
// CueSheet.h for what is read). The disc is in the drive while the .cue is there, readable and
// acceptable, and the drive's tray is closed. The layer keeps the tray itself: libcdio cannot
// eject an image (and leaves its handle half freed when asked to). Frames are read from name.bin
// directly, each read checked against the table of contents clamped to the data present.
class ImageDrive : public Drive
{
public:
    explicit ImageDrive(std::filesystem::path cue);

    std::string path() const override { return m_cue.string(); }
    std::string deviceNode() const override { return {}; }
    bool discPresent() override;
    bool trayOpen() override { return m_trayOpen; }
    Toc toc() override;
    bool eject() override;
    bool closeTray() override;
    DriveAccess access() override;
    OpenedFrames openFrames() override;
    // A cue sheet that is refused, or a data file shorter than the cue sheet's tracks.
    std::string discProblem() override;

private:
    enum class CueState { Missing, Refused, Usable };
    CueState cueState();
    // Why the .cue there is refused; "" when it is usable.
    std::string refusal(const std::string& text) const;
    Toc imageToc(std::int64_t binBytes);

    const std::filesystem::path m_cue;
    const std::filesystem::path m_bin;
    std::atomic<bool> m_trayOpen{false};
    std::mutex m_refusalMutex;
    std::string m_refusalLogged; // the refusal last written to the log, so it is written once
};

} // namespace lentaro::cd
