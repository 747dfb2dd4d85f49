#include "platform/mci/CdAudioDevice.h"

#include "platform/cd/CdTime.h"
#include "platform/cd/DriveList.h"
#include "platform/mci/DiscFeed.h"
#include "platform/mci/MciErrors.h"

#include <algorithm>

namespace lentaro::mci {

namespace {

// The sound of a disc as it plays.
const audio::Format cdSound{2, cd::sampleRate, 16, audio::Encoding::Pcm};

DiscSample sampleOf(cd::Lsn lsn)
{
    return static_cast<DiscSample>(lsn) * cd::samplesPerFrame;
}

// The drive letter a device name gives: "D:", "d", "D:\" or "D:/".
std::optional<char> letterOf(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || !trimmed.at(0).isLetter() || trimmed.at(0).unicode() > 127)
        return std::nullopt;
    const QString rest = trimmed.mid(1);
    if (!rest.isEmpty() && rest != QLatin1String(":") && rest != QLatin1String(":\\")
        && rest != QLatin1String(":/"))
        return std::nullopt;
    return static_cast<char>(trimmed.at(0).toUpper().unicode());
}

// Why a drive cannot be used, as the control reports it.
Outcome refusal(const cd::DriveAccess& access)
{
    const QString detail = QString::fromStdString(access.detail);
    switch (access.problem) {
    case cd::DriveProblem::HeldElsewhere:
        return Outcome::failure(errors::deviceInUse, detail);
    case cd::DriveProblem::None:
    case cd::DriveProblem::NoDisc:
    case cd::DriveProblem::NoPermission:
    case cd::DriveProblem::NotReadable:
        break;
    }
    return Outcome::failure(errors::deviceNotReady, detail);
}

} // namespace

CdAudioDevice::CdAudioDevice() = default;

CdAudioDevice::~CdAudioDevice()
{
    halt();
}

QString CdAudioDevice::driveName() const
{
    return QString::fromStdString(drive_->name());
}

cd::Toc CdAudioDevice::disc(Outcome& why) const
{
    if (!drive_) {
        why = notOpen();
        return {};
    }
    cd::Toc toc = drive_->toc();
    if (toc.empty())
        why = Outcome::failure(errors::deviceNotReady,
                               QStringLiteral("There is no disc in the %1.").arg(driveName()));
    return toc;
}

DiscSample CdAudioDevice::here(const cd::Toc& toc) const
{
    if (playback_.running())
        return playback_.position();
    const DiscSample first = sampleOf(toc.tracks.front().start);
    // A place from another disc, one taken out since, means nothing on this one.
    if (!place_ || *place_ < first || *place_ > sampleOf(toc.leadOut))
        return first;
    return *place_;
}

std::optional<DiscSample> CdAudioDevice::sampleAt(const TimeValue& time, const cd::Toc& toc,
                                                  Outcome& why) const
{
    const std::optional<DiscSample> sample = discSampleAt(time, toc);
    if (!sample) {
        why =
            outOfRange(QStringLiteral("There is no track %1 on the disc.").arg(time.value & 0xFF));
        return std::nullopt;
    }
    if (*sample < sampleOf(toc.tracks.front().start) || *sample > sampleOf(toc.leadOut)) {
        why = outOfRange(QStringLiteral("%1 is not a place on the disc in the %2.")
                             .arg(time.value)
                             .arg(driveName()));
        return std::nullopt;
    }
    return sample;
}

Outcome CdAudioDevice::open(const QString& fileName)
{
    close();
    const std::optional<char> letter = letterOf(fileName);
    cd::Drive* drive = letter ? cd::cdDrives().drive(*letter) : nullptr;
    if (!drive)
        return Outcome::failure(errors::invalidDeviceName,
                                QStringLiteral("There is no CD drive \"%1\".").arg(fileName));
    // A drive without a disc opens; one another program holds, or one this user may not use,
    // does not.
    const cd::DriveAccess access = drive->access();
    if (access.problem != cd::DriveProblem::None && access.problem != cd::DriveProblem::NoDisc)
        return refusal(access);
    drive_ = drive;
    return {};
}

Outcome CdAudioDevice::close()
{
    halt();
    playback_.close();
    drive_ = nullptr;
    paused_ = false;
    place_.reset();
    return {};
}

Outcome CdAudioDevice::play(const Range& range)
{
    Outcome why;
    const cd::Toc toc = disc(why);
    if (toc.empty())
        return why;
    const std::optional<DiscSample> from = range.from ? sampleAt(*range.from, toc, why) : here(toc);
    if (!from)
        return why;
    const std::optional<DiscSample> to =
        range.to ? sampleAt(*range.to, toc, why) : sampleOf(toc.leadOut);
    if (!to)
        return why;
    if (*from > *to)
        return outOfRange(QStringLiteral("A play cannot end before it starts."));
    return startPlay(*from, *to);
}

Outcome CdAudioDevice::startPlay(DiscSample from, DiscSample to)
{
    cd::OpenedFrames opened = drive_->openFrames();
    if (!opened.reader)
        return refusal(opened.access);
    if (const Outcome ready = playback_.prepare(cdSound); !ready.ok())
        return ready;
    halt();
    playback_.start(std::make_unique<DiscFeed>(std::move(opened.reader), from, to, drive_->name()),
                    from, to);
    paused_ = false;
    return {};
}

void CdAudioDevice::playEnded(const Playback::End& end)
{
    place_ = end.reached;
    if (end.trouble == FramePump::Trouble::None) {
        events()->ended(NotifyCode::Successful, {});
        return;
    }
    const bool discGone = !drive_->discPresent();
    if (discGone)
        place_.reset();
    const int error = end.trouble == FramePump::Trouble::Output ? errors::hardware
                      : discGone                                ? errors::deviceNotReady
                                                                : errors::fileRead;
    events()->ended(NotifyCode::Failure, Outcome::failure(error, QString::fromStdString(end.why)));
}

void CdAudioDevice::halt()
{
    if (playback_.running())
        place_ = playback_.halt();
    paused_ = false;
}

Outcome CdAudioDevice::record(const Range&)
{
    return unsupported(QStringLiteral("record"));
}

Outcome CdAudioDevice::pause()
{
    if (!drive_)
        return notOpen();
    if (playback_.running()) {
        halt();
        paused_ = true;
    }
    return {};
}

Outcome CdAudioDevice::stop()
{
    if (!drive_)
        return notOpen();
    halt();
    return {};
}

Outcome CdAudioDevice::cue()
{
    return unsupported(QStringLiteral("record"));
}

Outcome CdAudioDevice::seek(const std::optional<TimeValue>& to)
{
    Outcome why;
    const cd::Toc toc = disc(why);
    if (toc.empty())
        return why;
    const std::optional<DiscSample> target =
        to ? sampleAt(*to, toc, why) : sampleOf(toc.tracks.front().start);
    if (!target)
        return why;
    halt();
    place_ = target;
    return {};
}

Outcome CdAudioDevice::move(Move move)
{
    Outcome why;
    const cd::Toc toc = disc(why);
    if (toc.empty())
        return why;
    const DiscSample now = here(toc);
    const auto lsn = static_cast<cd::Lsn>(now / cd::samplesPerFrame);
    const std::int64_t second = cd::sampleRate;
    // The track the place counts to, and where the next one starts.
    std::size_t track = 0;
    while (track + 1 < toc.tracks.size() && toc.tracks[track + 1].start <= lsn)
        ++track;
    DiscSample target = now;
    switch (move) {
    case Move::Back:
        target = now - second;
        break;
    case Move::Step:
        target = now + second;
        break;
    case Move::Prev:
        target = sampleOf(toc.tracks[track].start);
        break;
    case Move::Next:
        target = sampleOf(toc.tracks[std::min(track + 1, toc.tracks.size() - 1)].start);
        break;
    }
    target = std::clamp(target, sampleOf(toc.tracks.front().start), sampleOf(toc.leadOut));
    if (!playback_.running()) {
        place_ = target;
        return {};
    }
    // A play goes on from the new place to where it was going.
    return startPlay(target, std::max(target, playback_.to()));
}

Outcome CdAudioDevice::save(const QString&)
{
    return unsupported(QStringLiteral("save"));
}

Outcome CdAudioDevice::eject()
{
    if (!drive_)
        return notOpen();
    halt();
    place_.reset();
    const bool done = drive_->trayOpen() ? drive_->closeTray() : drive_->eject();
    if (!done)
        return Outcome::failure(
            errors::hardware, QStringLiteral("The tray of the %1 does not move.").arg(driveName()));
    return {};
}

Outcome CdAudioDevice::setWaveFormat(const WaveFormat&)
{
    return unsupported(QStringLiteral("record"));
}

void CdAudioDevice::waitUntilEnded()
{
    playback_.waitUntilEnded();
}

Mode CdAudioDevice::mode() const
{
    if (!drive_)
        return Mode::NotOpen;
    if (playback_.running())
        return Mode::Playing;
    if (!drive_->discPresent())
        return Mode::NotOpen;
    return paused_ ? Mode::Paused : Mode::Stopped;
}

Reading CdAudioDevice::position(TimeFormat format) const
{
    Outcome why;
    const cd::Toc toc = disc(why);
    if (toc.empty())
        return Reading::failure(why);
    return Reading::of(timeAt(here(toc), format, toc));
}

Reading CdAudioDevice::length(TimeFormat format) const
{
    Outcome why;
    const cd::Toc toc = disc(why);
    if (toc.empty())
        return Reading::failure(why);
    return Reading::of(durationOf(toc.leadOut - toc.tracks.front().start, format));
}

Reading CdAudioDevice::tracks() const
{
    if (!drive_)
        return Reading::failure(notOpen());
    // No disc is no error: there are no tracks.
    return Reading::of(static_cast<int>(drive_->toc().tracks.size()));
}

Reading CdAudioDevice::trackLength(int track, TimeFormat format) const
{
    Outcome why;
    const cd::Toc toc = disc(why);
    if (toc.empty())
        return Reading::failure(why);
    const cd::TocTrack* entry = toc.track(track);
    if (!entry)
        return Reading::failure(outOfRange(QStringLiteral("There is no track %1.").arg(track)));
    return Reading::of(durationOf(toc.end(track) - entry->start, format));
}

Reading CdAudioDevice::trackPosition(int track, TimeFormat format) const
{
    Outcome why;
    const cd::Toc toc = disc(why);
    if (toc.empty())
        return Reading::failure(why);
    const cd::TocTrack* entry = toc.track(track);
    if (!entry)
        return Reading::failure(outOfRange(QStringLiteral("There is no track %1.").arg(track)));
    return Reading::of(timeAt(sampleOf(entry->start), format, toc));
}

} // namespace lentaro::mci
