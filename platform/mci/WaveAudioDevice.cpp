#include "platform/mci/WaveAudioDevice.h"

#include "platform/audio/EngineSamples.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/SoundCard.h"
#include "platform/mci/SoundFormats.h"
#include "platform/mci/SoundTrouble.h"
#include "platform/mci/StreamFeed.h"
#include "platform/mci/WaveSaving.h"

#include "soundfile/regular_file.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace lentaro::mci {

namespace {

// What the program records in unless told otherwise: 16-bit mono at 44,100 Hz.
const audio::Format defaultRecording{1, 44100, 16, audio::Encoding::Pcm};

// Why the sound-file core could not read a file that is there: the system's word for a file
// that cannot be opened, else the core's.
QString whyUnreadable(const QString& path, const kv::SoundStream& file)
{
    const std::int32_t result = file.lastError();
    if (!file.problem().empty())
        return QString::fromStdString(file.problem());
    if (result == kv::kFileError) {
        const kv::RegularFile attempt =
            kv::openRegularFile(QFile::encodeName(path).toStdString(), O_RDONLY);
        if (!attempt.opened())
            return QString::fromStdString(kv::whyNotOpened(attempt));
        ::close(attempt.descriptor);
        return QStringLiteral("its header is damaged or cut short");
    }
    if (result == kv::kUnsupportedFormat)
        return QStringLiteral("it is not a kind of sound file this program reads");
    return QString::fromLatin1(kv::resultText(result));
}

} // namespace

WaveAudioDevice::WaveAudioDevice() : format_(defaultRecording), recordFormat_(defaultRecording)
{
}

WaveAudioDevice::~WaveAudioDevice()
{
    halt();
}

bool WaveAudioDevice::supports(TimeFormat format) const
{
    return format == TimeFormat::Milliseconds;
}

Outcome WaveAudioDevice::open(const QString& fileName)
{
    close();
    const auto openEmpty = [&] {
        open_ = true;
        mode_ = Mode::Stopped;
        path_ = fileName;
        format_ = recordFormat_;
    };
    if (fileName.isEmpty()) {
        openEmpty();
        return {};
    }
    // A name that names nothing is a new element, ready to record into and save under it.
    if (!QFileInfo::exists(fileName) && !QFileInfo(fileName).isSymLink()) {
        openEmpty();
        return Outcome::failure(errors::fileNotFound,
                                QStringLiteral("file not found: %1").arg(fileName));
    }
    std::unique_ptr<kv::SoundStream> file = kv::SoundStream::openRead(fileName.toStdString());
    if (!file)
        return Outcome::failure(errors::outOfMemory,
                                QStringLiteral("out of memory opening %1").arg(fileName));
    if (file->lastError() != kv::kOk)
        return Outcome::failure(
            errors::invalidFile,
            QStringLiteral("cannot read %1: %2").arg(fileName, whyUnreadable(fileName, *file)));
    if (const QString why = whyUnplayable(*file); !why.isEmpty())
        return Outcome::failure(errors::invalidFile,
                                QStringLiteral("cannot play %1: %2").arg(fileName, why));
    // A file cut short still plays what it holds; one cut before its first sound holds nothing.
    if (file->length() == 0 && file->statedLength() > 0)
        return Outcome::failure(errors::invalidFile,
                                QStringLiteral("cannot play %1: it is cut short before its first "
                                               "sound")
                                    .arg(fileName));
    format_ = playedFormat(*file);
    fileFrames_ = file->length() / file->channels();
    file_ = std::move(file);
    path_ = fileName;
    open_ = true;
    mode_ = Mode::Stopped;
    return {};
}

Outcome WaveAudioDevice::close()
{
    halt();
    // The sound devices go with the element: another program may want them.
    playback_.close();
    input_.reset();
    file_.reset();
    fileFrames_ = 0;
    recorded_.clear();
    recorded_.shrink_to_fit();
    recordedFrames_ = 0;
    position_ = 0;
    path_.clear();
    open_ = false;
    mode_ = Mode::NotOpen;
    return {};
}

std::optional<std::int64_t> WaveAudioDevice::frameAt(const TimeValue& time, Outcome& why) const
{
    if (time.format != TimeFormat::Milliseconds) {
        why = Outcome::failure(errors::badTimeFormat,
                               QStringLiteral("A wave device counts time in milliseconds."));
        return std::nullopt;
    }
    if (time.value < 0) {
        why = outOfRange(QStringLiteral("%1 ms lies before the start.").arg(time.value));
        return std::nullopt;
    }
    const std::int64_t scaled = static_cast<std::int64_t>(time.value) * format_.sampleRate;
    return (scaled + 999) / 1000;
}

int WaveAudioDevice::msAt(std::int64_t frame) const
{
    return static_cast<int>(frame * 1000 / format_.sampleRate);
}

std::int64_t WaveAudioDevice::currentFrame() const
{
    if (playback_.running())
        return playback_.position();
    if (capture_)
        return recordFrom_ + static_cast<std::int64_t>(capture_->framesRecorded());
    return position_;
}

std::int64_t WaveAudioDevice::lengthFrames() const
{
    if (file_)
        return fileFrames_;
    if (capture_)
        return std::max(recordedFrames_,
                        recordFrom_ + static_cast<std::int64_t>(capture_->framesRecorded()));
    return recordedFrames_;
}

QString WaveAudioDevice::elementName() const
{
    return path_.isEmpty() ? QStringLiteral("the recording") : path_;
}

audio::Format WaveAudioDevice::recordingShape() const
{
    return lengthFrames() == 0 ? recordFormat_ : format_;
}

Outcome WaveAudioDevice::prepareInput(const audio::Format& format)
{
    if (input_ && input_->format() == format)
        return {};
    input_.reset();
    audio::OpenResult<audio::InputDevice> opened = soundCard().openInput(format);
    if (!opened) {
        soundTrouble().noInput(opened.status);
        return hardwareFailure(opened.status);
    }
    input_ = std::move(opened.device);
    return {};
}

std::unique_ptr<kv::SoundStream> WaveAudioDevice::readElement() const
{
    if (file_)
        return nullptr;
    // The sound in memory, read in place: nothing writes it while it plays.
    return kv::SoundStream::createMemory(audio::waveSampleFormat(format_),
                                         const_cast<std::uint8_t*>(recorded_.data()),
                                         recordedFrames_);
}

Outcome WaveAudioDevice::play(const Range& range)
{
    if (!open_)
        return notOpen();
    Outcome why;
    const std::int64_t length = lengthFrames();
    std::optional<std::int64_t> from = range.from ? frameAt(*range.from, why) : currentFrame();
    if (!from)
        return why;
    std::optional<std::int64_t> to = range.to ? frameAt(*range.to, why) : length;
    if (!to)
        return why;
    if (*from > length || *to > length)
        return outOfRange(
            QStringLiteral("%1 lasts only %2 ms.").arg(elementName()).arg(msAt(length)));
    if (*from > *to)
        return outOfRange(QStringLiteral("A play cannot end before it starts."));
    if (const Outcome ready = playback_.prepare(format_); !ready.ok())
        return ready;
    halt();
    startPlay(*from, *to);
    return {};
}

void WaveAudioDevice::startPlay(std::int64_t from, std::int64_t to)
{
    const audio::Format& output = playback_.outputFormat();
    const std::string name = elementName().toStdString();
    std::unique_ptr<FrameFeed> feed =
        file_ ? std::make_unique<StreamFeed>(*file_, from, to, output, name)
              : std::make_unique<StreamFeed>(readElement(), from, to, output, name);
    playback_.start(std::move(feed), from, to);
    mode_ = Mode::Playing;
}

void WaveAudioDevice::playEnded(const Playback::End& end)
{
    position_ = end.reached;
    mode_ = Mode::Stopped;
    if (end.trouble == FramePump::Trouble::None) {
        events()->ended(NotifyCode::Successful, {});
        return;
    }
    const int error =
        end.trouble == FramePump::Trouble::Output ? errors::hardware : errors::fileRead;
    events()->ended(NotifyCode::Failure, Outcome::failure(error, QString::fromStdString(end.why)));
}

Outcome WaveAudioDevice::record(const Range& range)
{
    if (!open_)
        return notOpen();
    if (file_ && fileFrames_ > 0)
        return Outcome::failure(errors::nonapplicableFunction,
                                QStringLiteral("%1 holds sound already: open a name of no file "
                                               "to record into.")
                                    .arg(path_));
    Outcome why;
    std::optional<std::int64_t> from = range.from ? frameAt(*range.from, why) : currentFrame();
    if (!from)
        return why;
    std::optional<std::int64_t> to;
    if (range.to && !(to = frameAt(*range.to, why)))
        return why;
    if (*from > lengthFrames())
        return outOfRange(
            QStringLiteral("A recording starts within what is recorded or at its end."));
    if (to && *to < *from)
        return outOfRange(QStringLiteral("A recording cannot end before it starts."));
    const audio::Format shape = recordingShape();
    if (const Outcome ready = prepareInput(shape); !ready.ok())
        return ready;
    halt();
    // An empty file becomes sound in memory, to be saved over it.
    file_.reset();
    fileFrames_ = 0;
    format_ = shape;
    ++serial_;
    recordFrom_ = *from;
    std::optional<std::uint64_t> limit;
    if (to)
        limit = static_cast<std::uint64_t>(*to - *from);
    const auto reached = [this, serial = serial_] {
        handOver_.post([this, serial] { recordReached(serial); });
    };
    auto capture = std::make_unique<CapturePump>(*input_, recorded_,
                                                 static_cast<std::uint64_t>(*from), limit, reached);
    // Nothing to record is done at once, from the event loop.
    if (limit == 0u)
        reached();
    else if (const audio::Error started = capture->start(); started != audio::Error::None) {
        const audio::Status why = audio::Status::failure(
            started, std::string("starting the sound input: ") + audio::errorText(started));
        soundTrouble().noInput(why);
        return hardwareFailure(why);
    }
    capture_ = std::move(capture);
    mode_ = Mode::Recording;
    return {};
}

void WaveAudioDevice::recordReached(std::uint64_t serial)
{
    if (serial == serial_ && capture_) {
        finishRecord();
        events()->ended(NotifyCode::Successful, {});
    }
}

void WaveAudioDevice::finishRecord()
{
    capture_->stop();
    position_ = recordFrom_ + static_cast<std::int64_t>(capture_->framesRecorded());
    capture_.reset();
    recordedFrames_ = static_cast<std::int64_t>(
        recorded_.size() / static_cast<std::size_t>(format_.bytesPerFrame()));
    ++serial_;
    mode_ = Mode::Stopped;
}

void WaveAudioDevice::halt()
{
    if (playback_.running())
        position_ = playback_.halt();
    if (capture_)
        finishRecord();
    if (open_)
        mode_ = Mode::Stopped;
}

Outcome WaveAudioDevice::pause()
{
    if (!open_)
        return notOpen();
    if (mode_ == Mode::Playing || mode_ == Mode::Recording) {
        halt();
        mode_ = Mode::Paused;
    }
    return {};
}

Outcome WaveAudioDevice::stop()
{
    if (!open_)
        return notOpen();
    halt();
    return {};
}

Outcome WaveAudioDevice::cue()
{
    if (!open_)
        return notOpen();
    return prepareInput(recordingShape());
}

Outcome WaveAudioDevice::seek(const std::optional<TimeValue>& to)
{
    if (!open_)
        return notOpen();
    Outcome why;
    const std::optional<std::int64_t> frame = to ? frameAt(*to, why) : 0;
    if (!frame)
        return why;
    if (*frame > lengthFrames())
        return outOfRange(
            QStringLiteral("%1 lasts only %2 ms.").arg(elementName()).arg(msAt(lengthFrames())));
    halt();
    position_ = *frame;
    return {};
}

Outcome WaveAudioDevice::move(Move move)
{
    if (!open_)
        return notOpen();
    if (mode_ == Mode::Recording)
        return Outcome::failure(errors::nonapplicableFunction,
                                QStringLiteral("The position cannot move while recording."));
    const std::int64_t second = format_.sampleRate;
    const std::int64_t here = currentFrame();
    std::int64_t target = 0;
    switch (move) {
    case Move::Back:
        target = here - second;
        break;
    case Move::Step:
        target = here + second;
        break;
    case Move::Prev:
        target = 0;
        break;
    case Move::Next:
        target = lengthFrames();
        break;
    }
    target = std::clamp<std::int64_t>(target, 0, lengthFrames());
    if (mode_ != Mode::Playing) {
        position_ = target;
        return {};
    }
    // A play goes on from the new place to where it was going.
    const std::int64_t end = std::max(target, playback_.to());
    halt();
    startPlay(target, end);
    return {};
}

Outcome WaveAudioDevice::save(const QString& fileName)
{
    if (!open_)
        return notOpen();
    if (fileName.isEmpty())
        return Outcome::failure(errors::filenameRequired,
                                QStringLiteral("There is no file name to save under."));
    if (capture_) {
        finishRecord();
        mode_ = Mode::Stopped;
    }
    if (file_ && QFileInfo(fileName) == QFileInfo(path_))
        return {};
    std::unique_ptr<kv::SoundStream> source =
        file_ ? kv::SoundStream::openRead(path_.toStdString()) : readElement();
    if (!source || source->lastError() != kv::kOk)
        return Outcome::failure(errors::fileRead,
                                QStringLiteral("cannot read %1 to save it").arg(elementName()));
    const Outcome saved = saveWave(*source, format_, fileName);
    if (saved.ok() && !file_)
        path_ = fileName;
    return saved;
}

Outcome WaveAudioDevice::eject()
{
    return unsupported(QStringLiteral("eject"));
}

Outcome WaveAudioDevice::setWaveFormat(const WaveFormat& block)
{
    if (!open_)
        return notOpen();
    if (mode_ == Mode::Playing || mode_ == Mode::Recording || lengthFrames() > 0)
        return Outcome::failure(errors::nonapplicableFunction,
                                QStringLiteral("The format is set before anything is recorded."));
    QString whyNot;
    const audio::Format format = recordingFormat(block, whyNot);
    if (whyNot.isEmpty()) {
        if (const audio::Status taken = soundCard().queryInput(format); !taken.ok())
            whyNot = QString::fromStdString(taken.detail);
    }
    if (!whyNot.isEmpty())
        return Outcome::failure(errors::unsuitableFormat, whyNot);
    recordFormat_ = format;
    if (!file_)
        format_ = format;
    return {};
}

void WaveAudioDevice::waitUntilEnded()
{
    if (playback_.running()) {
        playback_.waitUntilEnded();
    } else if (capture_) {
        capture_->waitUntilEnded();
        if (capture_->reachedLimit())
            recordReached(serial_);
    }
}

Reading WaveAudioDevice::position(TimeFormat format) const
{
    if (!open_)
        return Reading::failure(notOpen());
    if (!supports(format))
        return Reading::failure(
            Outcome::failure(errors::badTimeFormat, QStringLiteral("A wave device counts time in "
                                                                   "milliseconds.")));
    return Reading::of(msAt(currentFrame()));
}

Reading WaveAudioDevice::length(TimeFormat format) const
{
    if (!open_)
        return Reading::failure(notOpen());
    if (!supports(format))
        return Reading::failure(
            Outcome::failure(errors::badTimeFormat, QStringLiteral("A wave device counts time in "
                                                                   "milliseconds.")));
    return Reading::of(msAt(lengthFrames()));
}

Reading WaveAudioDevice::tracks() const
{
    return open_ ? Reading::of(1) : Reading::failure(notOpen());
}

Reading WaveAudioDevice::trackLength(int track, TimeFormat format) const
{
    if (open_ && track != 1)
        return Reading::failure(outOfRange(QStringLiteral("There is no track %1.").arg(track)));
    return length(format);
}

Reading WaveAudioDevice::trackPosition(int track, TimeFormat format) const
{
    if (!open_)
        return Reading::failure(notOpen());
    if (track != 1)
        return Reading::failure(outOfRange(QStringLiteral("There is no track %1.").arg(track)));
    // The one track starts at the start, whatever the format; length() refuses a format.
    const Reading whole = length(format);
    return whole.outcome.ok() ? Reading::of(0) : whole;
}

} // namespace lentaro::mci
