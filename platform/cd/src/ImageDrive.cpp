#include "platform/cd/ImageDrive.h"

#include "platform/cd/CdLog.h"
#include "platform/cd/src/CueSheet.h"
#include "platform/cd/src/DriveAccessProbe.h"
#include "platform/cd/src/LibcdioToc.h"
#include "platform/registry/FileHandle.h"
#include "soundfile/regular_file.h"

#include <cdio/cdio.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace lentaro::cd {

namespace fs = std::filesystem;
using registry::FileHandle;

namespace {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity& other) const
    {
        return device == other.device && inode == other.inode;
    }
};

std::optional<FileIdentity> identityOf(const fs::path& file)
{
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

// Reads the image's data file directly. The disc counts as gone once the tray is opened or the
// .cue is deleted or replaced.
class ImageFrameReader : public FrameReader
{
public:
    ImageFrameReader(Toc toc, FileHandle bin, const std::atomic<bool>& trayOpen, fs::path cue,
                     FileIdentity cueIdentity)
        : FrameReader(std::move(toc)),
          m_bin(std::move(bin)),
          m_trayOpen(trayOpen),
          m_cue(std::move(cue)),
          m_cueIdentity(cueIdentity)
    {
    }

    bool discStillThere() override { return !m_trayOpen && identityOf(m_cue) == m_cueIdentity; }

protected:
    FrameRead readFrames(Lsn lsn, int count, std::uint8_t* frames,
                         const std::atomic<bool>&) override
    {
        const std::size_t wanted = static_cast<std::size_t>(count) * bytesPerFrame;
        std::size_t got = 0;
        while (got < wanted) {
            const ssize_t moved =
                ::pread(m_bin.fd(), frames + got, wanted - got,
                        static_cast<off_t>(lsn) * bytesPerFrame + static_cast<off_t>(got));
            if (moved < 0 && errno == EINTR)
                continue;
            if (moved <= 0) {
                const int whole = static_cast<int>(got / bytesPerFrame);
                return {whole, ReadProblem::Unreadable,
                        moved < 0 ? "the image cannot be read at frame "
                                        + std::to_string(lsn + whole) + ": " + std::strerror(errno)
                                  : "the image ends at frame " + std::to_string(lsn + whole)};
            }
            got += static_cast<std::size_t>(moved);
        }
        return {count, ReadProblem::None, {}};
    }

private:
    FileHandle m_bin;
    const std::atomic<bool>& m_trayOpen;
    const fs::path m_cue;
    const FileIdentity m_cueIdentity;
};

// The cue sheet's text; nothing when it cannot be read or is no regular file (a FIFO would hold
// the reader for ever).
std::optional<std::string> cueText(const fs::path& path)
{
    const kv::RegularFile cue = kv::openRegularFile(path.string(), O_RDONLY);
    if (!cue.opened())
        return std::nullopt;
    std::string text;
    char piece[4096];
    for (ssize_t got; (got = ::read(cue.descriptor, piece, sizeof piece)) > 0;)
        text.append(piece, static_cast<std::size_t>(got));
    ::close(cue.descriptor);
    return text;
}

} // namespace

ImageDrive::ImageDrive(fs::path cue)
    : m_cue(std::move(cue)), m_bin(fs::path(m_cue).replace_extension(".bin"))
{
}

std::string ImageDrive::refusal(const std::string& text) const
{
    std::string problem = cueSheetProblem(text, m_bin.filename().string());
    if (problem.empty() && !fs::is_regular_file(m_bin))
        problem = "its data file " + m_bin.filename().string() + " is missing";
    return problem;
}

ImageDrive::CueState ImageDrive::cueState()
{
    const std::optional<std::string> cue = cueText(m_cue);
    if (!cue)
        return CueState::Missing;
    const std::string problem = refusal(*cue);
    std::lock_guard<std::mutex> lock(m_refusalMutex);
    if (problem.empty()) {
        m_refusalLogged.clear();
        return CueState::Usable;
    }
    if (problem != m_refusalLogged) {
        cdLog().write("The CD image " + m_cue.string() + " is not used: " + problem + ".");
        m_refusalLogged = problem;
    }
    return CueState::Refused;
}

std::string ImageDrive::discProblem()
{
    const std::optional<std::string> cue = m_trayOpen ? std::nullopt : cueText(m_cue);
    if (!cue)
        return {};
    const std::string problem = refusal(*cue);
    if (!problem.empty())
        return "The CD image " + m_cue.string() + " is not used: " + problem + ".";
    std::error_code error;
    const std::uintmax_t binBytes = fs::file_size(m_bin, error);
    routeLibcdioMessages();
    CdIo_t* image = error ? nullptr : cdio_open(m_cue.c_str(), DRIVER_BINCUE);
    if (!image)
        return "The CD image " + m_cue.string() + " is not used: it cannot be read.";
    // libcdio ends the disc where the data ends, but keeps the tracks the cue sheet places after.
    const Toc toc = tocFromCdio(image);
    cdio_destroy(image);
    const bool tracksGone =
        std::any_of(toc.tracks.begin(), toc.tracks.end(),
                    [&](const TocTrack& track) { return track.start >= toc.leadOut; });
    if (binBytes % bytesPerFrame == 0 && !tracksGone && !toc.empty())
        return {};
    return "The CD image " + m_cue.string() + " is damaged: its data file "
           + m_bin.filename().string()
           + " is cut short, so the disc holds less than its cue sheet says.";
}

bool ImageDrive::discPresent()
{
    return !m_trayOpen && cueState() == CueState::Usable;
}

Toc ImageDrive::imageToc(std::int64_t binBytes)
{
    routeLibcdioMessages();
    CdIo_t* image = cdio_open(m_cue.c_str(), DRIVER_BINCUE);
    if (!image)
        return {};
    Toc toc = tocFromCdio(image);
    cdio_destroy(image);
    return clampedToFrames(std::move(toc), static_cast<Lsn>(binBytes / bytesPerFrame));
}

Toc ImageDrive::toc()
{
    if (!discPresent())
        return {};
    std::error_code error;
    const std::uintmax_t binBytes = fs::file_size(m_bin, error);
    return error ? Toc{} : imageToc(static_cast<std::int64_t>(binBytes));
}

bool ImageDrive::eject()
{
    m_trayOpen = true;
    return true;
}

bool ImageDrive::closeTray()
{
    m_trayOpen = false;
    return true;
}

DriveAccess ImageDrive::access()
{
    if (!discPresent())
        return {DriveProblem::NoDisc, "There is no disc in the " + name() + "."};
    return probeAccess(m_cue.string(), name());
}

OpenedFrames ImageDrive::openFrames()
{
    const std::optional<FileIdentity> cueIdentity = identityOf(m_cue);
    DriveAccess access = this->access();
    if (access.problem != DriveProblem::None || !cueIdentity)
        return {nullptr, access};
    FileHandle bin(::open(m_bin.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!bin.isOpen() || ::fstat(bin.fd(), &status) != 0) {
        const int error = errno;
        return {nullptr,
                {problemFromErrno(error) == DriveProblem::NoPermission ? DriveProblem::NoPermission
                                                                       : DriveProblem::NotReadable,
                 "The disc in the " + name() + " cannot be read (" + m_bin.string()
                     + "): " + std::strerror(error) + "."}};
    }
    Toc toc = imageToc(status.st_size);
    if (toc.empty())
        return {nullptr, {DriveProblem::NoDisc, "There is no disc in the " + name() + "."}};
    return {std::make_unique<ImageFrameReader>(std::move(toc), std::move(bin), m_trayOpen, m_cue,
                                               *cueIdentity),
            {}};
}

} // namespace lentaro::cd
