#include "platform/cd/DigitalReader.h"

#include "platform/cd/src/AudioCopy.h"
#include "platform/cd/src/ReadRange.h"
#include "platform/cd/src/SharedWaveOutput.h"
#include "platform/shell/uihandover.h"

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sample_format.h"
#include "soundfile/sound_stream.h"

#include <atomic>
#include <cctype>
#include <thread>

namespace lentaro::cd {

struct DigitalReader::Job {
    explicit Job(std::unique_ptr<kv::SoundStream> out) : output(std::move(out)) {}

    std::thread worker;
    SharedWaveOutput output;
    std::atomic<bool> stop{false};
    ReadProgress progress;
    std::string driveName;
    ReaderFault result;          // the worker's, read once it has been joined
    bool abortRequested = false; // user-interface thread only
    bool delivered = false;      // user-interface thread only
};

namespace {

ReaderError readerErrorOf(DriveProblem problem)
{
    switch (problem) {
    case DriveProblem::None:
        return ReaderError::None;
    case DriveProblem::NoDisc:
        return ReaderError::NoDisc;
    case DriveProblem::HeldElsewhere:
        return ReaderError::DriveHeldElsewhere;
    case DriveProblem::NoPermission:
        return ReaderError::NoPermission;
    case DriveProblem::NotReadable:
        break;
    }
    return ReaderError::Unreadable;
}

std::string sentence(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text + ".";
}

} // namespace

DigitalReader::DigitalReader(QObject* parent) : DigitalReader(cdDrives(), Timing{}, parent)
{
}

DigitalReader::DigitalReader(DriveList& drives, Timing timing, QObject* parent)
    : QObject(parent),
      m_drives(drives),
      m_timing(timing),
      m_handOver(std::make_unique<UiHandOver>())
{
    connect(&m_watchdog, &QTimer::timeout, this, &DigitalReader::watch);
}

DigitalReader::~DigitalReader()
{
    if (m_job) {
        m_job->stop = true;
        m_job->worker.join();
    }
}

int DigitalReader::refuse(const ReaderFault& fault)
{
    m_lastError = QString::fromStdString(fault.text);
    return static_cast<int>(fault.error);
}

Drive* DigitalReader::openedDrive() const
{
    return m_drives.drive(m_openDrive);
}

int DigitalReader::initialise()
{
    if (m_drives.count() == 0)
        return refuse({ReaderError::NoDrives, "There is no CD drive."});
    return 0;
}

int DigitalReader::driveCount() const
{
    return m_drives.count();
}

int DigitalReader::openDrive(int driveNumber)
{
    Drive* drive = m_drives.drive(driveNumber);
    if (!drive) {
        return refuse({ReaderError::NoSuchDrive,
                       "There is no CD drive number " + std::to_string(driveNumber) + "."});
    }
    const DriveAccess access = drive->access();
    if (access.problem != DriveProblem::None && access.problem != DriveProblem::NoDisc)
        return refuse({readerErrorOf(access.problem), access.detail});
    m_openDrive = driveNumber;
    return 0;
}

Toc DigitalReader::discToc() const
{
    Drive* drive = openedDrive();
    return drive ? drive->toc() : Toc{};
}

bool DigitalReader::isAudioTrack(int track)
{
    const Toc toc = discToc();
    const TocTrack* entry = toc.track(track);
    return entry && entry->audio;
}

int DigitalReader::trackCount()
{
    return static_cast<int>(discToc().tracks.size());
}

int DigitalReader::trackLengthMs(int track)
{
    const Toc toc = discToc();
    const TocTrack* entry = toc.track(track);
    return entry ? static_cast<int>(msAtLsn(toc.end(track)) - msAtLsn(entry->start)) : 0;
}

int DigitalReader::trackStartMs(int track)
{
    const Toc toc = discToc();
    const TocTrack* entry = toc.track(track);
    return entry ? static_cast<int>(msAtLsn(entry->start)) : 0;
}

ReaderFault DigitalReader::trackFault(ReaderError error, int track) const
{
    const std::string drive = openedDrive()->name();
    const std::string number = std::to_string(track);
    switch (error) {
    case ReaderError::NoSuchTrack:
        return {error, "The disc in the " + drive + " has no track " + number + "."};
    case ReaderError::NotAudio:
        return {error,
                "Track " + number + " of the disc in the " + drive + " holds data, not audio."};
    default:
        return {error, "The part of track " + number + " asked for is not audio on the disc in the "
                           + drive + "."};
    }
}

int DigitalReader::readTrack(int track, const QString& destination)
{
    return read(
        destination, [track](const Toc& toc) { return wholeTrackRange(toc, track); }, track);
}

int DigitalReader::readSection(int track, const QString& destination, int startMs, int lengthMs)
{
    return read(
        destination, [=](const Toc& toc) { return sectionRange(toc, track, startMs, lengthMs); },
        track);
}

int DigitalReader::read(const QString& destination,
                        const std::function<RangeChoice(const Toc&)>& chooseRange, int track)
{
    if (m_job)
        return refuse({ReaderError::ReadRunning, "A read from the CD is running already."});
    Drive* drive = openedDrive();
    if (!drive)
        return refuse({ReaderError::NoDriveOpen, "No CD drive has been opened for reading."});
    OpenedFrames opened = drive->openFrames();
    if (!opened.reader)
        return refuse({readerErrorOf(opened.access.problem), opened.access.detail});
    const RangeChoice choice = chooseRange(opened.reader->toc());
    if (choice.error != ReaderError::None)
        return refuse(trackFault(choice.error, track));

    const std::string path = destination.toStdString();
    std::unique_ptr<kv::SoundStream> out = kv::SoundStream::openWrite(
        kv::SampleFormat::make(sampleRate, 2, kv::kEncodingSigned, 2), path, kv::kFileTypeWav);
    const std::int32_t created = !out                          ? kv::kOutOfMemory
                                 : out->lastError() != kv::kOk ? out->lastError()
                                                               : out->finish();
    if (created != kv::kOk) {
        return refuse({ReaderError::CannotWrite, "The wave file " + path + " cannot be written: "
                                                     + kv::resultText(created) + "."});
    }

    m_job = std::make_unique<Job>(std::move(out));
    m_job->driveName = drive->name();
    Job& job = *m_job;
    job.worker = std::thread(
        [this, &job, reader = std::move(opened.reader), range = choice.range]() mutable {
            job.result = copyAudio(*reader, range, job.output, job.stop, job.progress);
            reader.reset(); // the drive is free again before anyone hears of the end
            const std::int32_t closed = job.output.close();
            if (job.result.error == ReaderError::None && closed != kv::kOk)
                job.result = {ReaderError::CannotWrite, kv::resultText(closed)};
            m_handOver->post([this] { workerEnded(); });
        });
    m_watchdog.start(m_timing.watchInterval);
    return 0;
}

void DigitalReader::abort()
{
    if (m_job && !m_job->delivered) {
        m_job->abortRequested = true;
        m_job->stop = true;
    }
}

int DigitalReader::openTray()
{
    Drive* drive = openedDrive();
    if (!drive)
        return refuse({ReaderError::NoDriveOpen, "No CD drive has been opened."});
    if (!drive->eject())
        return refuse({ReaderError::TrayFailed, "The " + drive->name() + " cannot be opened."});
    return 0;
}

int DigitalReader::closeTray()
{
    Drive* drive = openedDrive();
    if (!drive)
        return refuse({ReaderError::NoDriveOpen, "No CD drive has been opened."});
    if (!drive->closeTray())
        return refuse({ReaderError::TrayFailed, "The " + drive->name() + " cannot be closed."});
    return 0;
}

void DigitalReader::workerEnded()
{
    if (!m_job)
        return;
    m_job->worker.join();
    const std::unique_ptr<Job> job = std::move(m_job);
    m_watchdog.stop();
    if (job->delivered)
        return;
    if (job->abortRequested)
        return deliver({ReaderError::Aborted, "The read was stopped."});
    if (job->result.error == ReaderError::None)
        return deliver({});
    deliver(
        {job->result.error,
         job->result.error == ReaderError::DiscRemoved
             ? "The disc was taken out of the " + job->driveName + " during the read."
             : "Reading from the " + job->driveName + " failed: " + sentence(job->result.text)});
}

void DigitalReader::watch()
{
    if (!m_job || m_job->delivered || m_job->progress.sinceLastStamp() < m_timing.stallLimit)
        return;
    m_job->stop = true;
    m_job->delivered = true;
    m_watchdog.stop();
    // The stuck read may hold its thread for ever: the file is made final now, before anyone hears
    // of the failure, and what that read still brings back is dropped.
    m_job->output.close();
    if (m_job->abortRequested)
        return deliver({ReaderError::Aborted, "The read was stopped."});
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_timing.stallLimit);
    deliver({ReaderError::DriveStalled, "The " + m_job->driveName + " read nothing for "
                                            + std::to_string(seconds.count()) + " seconds."});
}

void DigitalReader::deliver(const ReaderFault& outcome)
{
    if (outcome.error == ReaderError::None)
        emit ReadComplete();
    else
        emit Failure(static_cast<int>(outcome.error), QString::fromStdString(outcome.text));
}

} // namespace lentaro::cd
