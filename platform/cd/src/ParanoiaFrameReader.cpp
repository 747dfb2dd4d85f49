#include "platform/cd/src/ParanoiaFrameReader.h"

#include "platform/cd/CdLog.h"
#include "platform/cd/src/DeviceDrive.h"
#include "platform/cd/src/LibcdioToc.h"
#include "platform/cd/src/ParanoiaCallback.h"

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace lentaro::cd {

namespace {

// Retries of one sector before paranoia gives up on it (its own default).
constexpr int maxRetries = 20;

void logMessages(char* messages)
{
    if (!messages)
        return;
    std::string text(messages);
    cdio_cddap_free_messages(messages);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        if (line.find_first_not_of(" \t") != std::string::npos)
            cdLog().write("paranoia: " + line);
        start = end + 1;
    }
}

class ParanoiaFrameReader : public FrameReader
{
public:
    ParanoiaFrameReader(Toc toc, cdrom_drive_t* drive, cdrom_paranoia_t* paranoia,
                        std::function<bool()> discStillThere)
        : FrameReader(std::move(toc)),
          m_drive(drive),
          m_paranoia(paranoia),
          m_discStillThere(std::move(discStillThere))
    {
    }

    ~ParanoiaFrameReader() override
    {
        cdio_paranoia_free(m_paranoia);
        cdio_cddap_close(m_drive); // frees the libcdio handle too
    }

    bool discStillThere() override { return m_discStillThere(); }

protected:
    FrameRead readFrames(Lsn lsn, int count, std::uint8_t* frames,
                         const std::atomic<bool>& stop) override
    {
        if (lsn != m_next)
            cdio_paranoia_seek(m_paranoia, lsn, SEEK_SET);
        for (int index = 0; index < count; ++index) {
            if (stop)
                return {index, ReadProblem::Stopped, "stopped"};
            ParanoiaSectorReport report;
            const std::int16_t* sector = nullptr;
            {
                ParanoiaReportScope scope(report);
                sector = cdio_paranoia_read_limited(m_paranoia, paranoiaCallback, maxRetries);
            }
            const int error = errno;
            logMessages(cdio_cddap_errors(m_drive));
            logMessages(cdio_cddap_messages(m_drive));
            m_next = lsn + index + 1;
            const Lsn at = lsn + index;
            if (!sector) {
                return {index,
                        error == ENOMEDIUM ? ReadProblem::DiscRemoved : ReadProblem::Unreadable,
                        "frame " + std::to_string(at) + " cannot be read: " + std::strerror(error)};
            }
            if (report.unrecovered()) {
                return {index, ReadProblem::Unreadable,
                        "frame " + std::to_string(report.unrecoveredSector())
                            + " could not be read after " + std::to_string(maxRetries) + " tries"};
            }
            std::memcpy(frames + static_cast<std::size_t>(index) * bytesPerFrame, sector,
                        bytesPerFrame);
        }
        return {count, ReadProblem::None, {}};
    }

private:
    cdrom_drive_t* m_drive;
    cdrom_paranoia_t* m_paranoia;
    std::function<bool()> m_discStillThere;
    Lsn m_next = -1; // where paranoia's cursor stands
};

} // namespace

cdrom_drive_t* openCdda(CdIo_t* cdio, std::string& problem)
{
    char* messages = nullptr;
    cdrom_drive_t* drive = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_LOGIT, &messages);
    logMessages(messages);
    if (!drive) {
        cdio_destroy(cdio);
        problem = "the drive cannot read audio digitally";
        return nullptr;
    }
    cdio_cddap_verbose_set(drive, CDDA_MESSAGE_LOGIT, CDDA_MESSAGE_LOGIT);
    // Set before opening, which would otherwise guess the order from the first audio it reads.
    drive->bigendianp = 0;
    drive->b_swap_bytes = false;
    const int opened = cdio_cddap_open(drive);
    logMessages(cdio_cddap_errors(drive));
    logMessages(cdio_cddap_messages(drive));
    if (opened != 0) {
        cdio_cddap_close(drive);
        problem = "the drive cannot read audio digitally (error " + std::to_string(opened) + ")";
        return nullptr;
    }
    return drive;
}

std::unique_ptr<FrameReader>
paranoiaReaderOver(cdrom_drive_t* drive, std::function<bool()> discStillThere, std::string& problem)
{
    Toc toc = tocFromCdio(drive->p_cdio);
    if (toc.empty()) {
        cdio_cddap_close(drive);
        problem = "there is no disc in the drive";
        return nullptr;
    }
    cdrom_paranoia_t* paranoia = cdio_paranoia_init(drive);
    cdio_paranoia_modeset(paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    return std::make_unique<ParanoiaFrameReader>(std::move(toc), drive, paranoia,
                                                 std::move(discStillThere));
}

std::unique_ptr<FrameReader> openParanoiaReader(const std::string& device, std::string& problem)
{
    routeLibcdioMessages();
    CdIo_t* cdio = cdio_open_am(device.c_str(), DRIVER_DEVICE, "IOCTL");
    if (!cdio) {
        problem = std::string("the device cannot be opened: ") + std::strerror(errno);
        return nullptr;
    }
    cdrom_drive_t* drive = openCdda(cdio, problem);
    if (!drive)
        return nullptr;
    return paranoiaReaderOver(
        drive, [device] { return trayStatusOf(device) == TrayStatus::DiscReady; }, problem);
}

} // namespace lentaro::cd
