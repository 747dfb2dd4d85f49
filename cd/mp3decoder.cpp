#include "cd/mp3decoder.h"

#include "app/timetexts.h"
#include "platform/shell/uihandover.h"
#include "platform/wavesection/ReplacementFile.h"
#include "soundfile/file_types.h"
#include "soundfile/regular_file.h"
#include "soundfile/sound_stream.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"

#include <QFile>

#include <fcntl.h>
#include <mpg123.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

namespace lentaro {

namespace {

// Samples written to the wave file at a time.
constexpr std::size_t writeBlockSamples = 1 << 16;

std::string nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

QString libraryText(mpg123_handle* handle)
{
    return QString::fromUtf8(mpg123_strerror(handle));
}

// The input cannot be read as MP3, for that reason: the user's to mend.
Mp3FileError unreadable(int number, const QString& fileName, const QString& reason)
{
    return Mp3FileError(number, fileName + QStringLiteral(" cannot be read as MP3: ") + reason
                                    + QLatin1Char('.'));
}

QString cannotWrite(const QString& fileName)
{
    return QStringLiteral("The wave file ") + fileName + QStringLiteral(" cannot be written");
}

Mp3FileError unwritable(const QString& fileName)
{
    return Mp3FileError(errorNumbers::pathFileAccess, cannotWrite(fileName) + QLatin1Char('.'));
}

std::int64_t msOf(std::int64_t frames, long rate)
{
    return rate > 0 ? frames * 1000 / rate : 0;
}

// The library reads a frame's header and body in small pieces: through a buffer of our own
// they cost no call into the system each.
constexpr std::size_t readBufferBytes = 1 << 16;

mpg123_ssize_t readInput(void* input, void* buffer, size_t bytes)
{
    auto* file = static_cast<std::FILE*>(input);
    const size_t read = std::fread(buffer, 1, bytes, file);
    return read == 0 && std::ferror(file) ? -1 : mpg123_ssize_t(read);
}

off_t seekInput(void* input, off_t offset, int whence)
{
    auto* file = static_cast<std::FILE*>(input);
    return ::fseeko(file, offset, whence) == 0 ? ::ftello(file) : -1;
}

void closeInput(void* input)
{
    std::fclose(static_cast<std::FILE*>(input));
}

// Whether a frame header starts at offset: the file holds a frame there that was cut off, since
// decoding ended before it.
bool frameStartsAt(const std::string& path, std::int64_t offset)
{
    const kv::RegularFile in = kv::openRegularFile(path, O_RDONLY);
    if (!in.opened())
        return false;
    unsigned char header[2] = {0, 0};
    const bool read = ::pread(in.descriptor, header, 2, static_cast<off_t>(offset)) == 2;
    ::close(in.descriptor);
    return read && header[0] == 0xFF && (header[1] & 0xE0) == 0xE0;
}

} // namespace

// What a conversion's thread leaves: the frames written, or an error; the error's report adds
// the decoded time it happened at (time texts are the user-interface thread's to make). A file
// whose last frame was cut off converts the frames before it.
struct Mp3Decoder::Outcome {
    int error = 0;
    QString description;
    std::int64_t frames = 0;
    bool lastFrameCutOff = false;
};

Mp3Decoder::Mp3Decoder(QObject* parent)
    : QObject(parent),
      m_clock([] { return std::chrono::steady_clock::now().time_since_epoch(); }),
      m_handOver(std::make_unique<UiHandOver>())
{
    initialiseLibrary();
}

Mp3Decoder::~Mp3Decoder()
{
    stop();
    close();
}

void Mp3Decoder::open(const QString& fileName)
{
    if (converting())
        throw RuntimeError(errorNumbers::invalidCall, QStringLiteral("A conversion is running."));
    close();
    const kv::RegularFile opened = kv::openRegularFile(nativePath(fileName), O_RDONLY);
    if (!opened.opened() && opened.error == ENOENT)
        throw unreadable(errorNumbers::fileNotFound, fileName,
                         QStringLiteral("there is no such file"));
    if (!opened.opened())
        throw unreadable(errorNumbers::pathFileAccess, fileName,
                         QString::fromStdString(kv::whyNotOpened(opened)));
    std::FILE* input = ::fdopen(opened.descriptor, "rb");
    if (!input) {
        ::close(opened.descriptor);
        throw unreadable(errorNumbers::pathFileAccess, fileName,
                         QString::fromLocal8Bit(std::strerror(errno)));
    }
    int result = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &result);
    if (!handle) {
        std::fclose(input);
        throw RuntimeError(7);
    }
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> owned(handle, mpg123_delete);
    mpg123_param(handle, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    std::setvbuf(input, nullptr, _IOFBF, readBufferBytes);
    mpg123_replace_reader_handle(handle, readInput, seekInput, closeInput);
    if (mpg123_open_handle(handle, input) != MPG123_OK)
        throw unreadable(errorNumbers::pathFileAccess, fileName, libraryText(handle));
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    const QString noFrames = QStringLiteral("it holds no MP3 frames");
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK)
        throw unreadable(errorNumbers::invalidFileFormat, fileName, noFrames);
    // The wave file's header is written for the first frame's format: every later frame is
    // decoded to it, or the conversion stops.
    mpg123_format_none(handle);
    mpg123_format(handle, rate, channels, MPG123_ENC_SIGNED_16);
    // An encoder's header states the length; a scan counts the frames that are there.
    long encoderDelay = -1;
    mpg123_getstate(handle, MPG123_ENC_DELAY, &encoderDelay, nullptr);
    const bool lengthStated = encoderDelay >= 0;
    const off_t stated = mpg123_length(handle);
    if (mpg123_scan(handle) != MPG123_OK)
        throw unreadable(errorNumbers::invalidFileFormat, fileName, libraryText(handle));
    const off_t present = mpg123_length(handle);
    if (present <= 0)
        throw unreadable(errorNumbers::invalidFileFormat, fileName, noFrames);
    // What is there converts all the same.
    m_cutShort.clear();
    if (lengthStated && present < stated)
        m_cutShort = fileName + QStringLiteral(" is cut short: it holds ")
                     + mmss(msOf(present, rate)) + QStringLiteral(" of the ")
                     + mmss(msOf(stated, rate)) + QStringLiteral(" it was made with.");
    m_handle = owned.release();
    m_input = fileName;
    m_rate = rate;
    m_channels = channels;
    m_frames = present;
}

void Mp3Decoder::close()
{
    stop();
    if (m_handle)
        mpg123_delete(m_handle);
    m_handle = nullptr;
    m_input.clear();
    m_cutShort.clear();
    m_rate = 0;
    m_channels = 0;
    m_frames = 0;
}

QString Mp3Decoder::lengthText() const
{
    return mmss(msOf(m_frames, m_rate));
}

void Mp3Decoder::setOutput(const QString& fileName)
{
    m_output = fileName;
}

void Mp3Decoder::start()
{
    if (converting())
        throw RuntimeError(errorNumbers::invalidCall, QStringLiteral("A conversion is running."));
    if (!m_handle)
        throw RuntimeError(errorNumbers::invalidCall, QStringLiteral("No MP3 file is open."));
    auto file = std::make_unique<wavesection::ReplacementFile>(nativePath(m_output));
    if (!file->isOpen())
        throw unwritable(m_output);
    if (mpg123_seek(m_handle, 0, SEEK_SET) < 0)
        throw unreadable(errorNumbers::invalidFileFormat, m_input, libraryText(m_handle));
    m_file = std::move(file);
    const std::uint64_t run = ++m_run;
    m_worker = std::thread([this, run] { convert(run); });
}

void Mp3Decoder::stop()
{
    m_stopping = true;
    if (converting() && m_pacing.stopping)
        m_pacing.stopping();
    endWorker();
    m_stopping = false;
    ++m_run;
    m_file.reset();
}

void Mp3Decoder::endWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void Mp3Decoder::convert(std::uint64_t run)
{
    const Outcome outcome = decodeAll(run);
    m_handOver->post([this, run, outcome] { finish(run, outcome); });
}

Mp3Decoder::Outcome Mp3Decoder::decodeAll(std::uint64_t run)
{
    Outcome outcome;
    const auto fail = [&](int error, const QString& description) {
        outcome.error = error;
        outcome.description = description;
        return outcome;
    };
    const std::unique_ptr<kv::SoundStream> out = kv::SoundStream::openWrite(
        kv::SampleFormat::make(float(m_rate), 2, kv::kEncodingSigned, m_channels),
        m_file->temporaryPath(), kv::kFileTypeWav);
    if (!out)
        return fail(7, {});
    if (out->lastError() != kv::kOk)
        return fail(errorNumbers::pathFileAccess, cannotWrite(m_output));
    // Frames go to the file in blocks, not one write each.
    std::vector<std::int32_t> block;
    block.reserve(writeBlockSamples + 4608);
    const auto writeBlock = [&] {
        const bool written = out->write(block.data(), std::int64_t(block.size())) == kv::kOk;
        block.clear();
        return written;
    };
    std::int64_t endOfLastFrame = 0;
    auto nextReport = m_clock() + std::chrono::seconds(1);
    while (!m_stopping) {
        off_t frameNumber = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        const int result = mpg123_decode_frame(m_handle, &frameNumber, &audio, &bytes);
        if (result == MPG123_DONE)
            break;
        const QString formatChanges = m_input
                                      + QStringLiteral(" cannot be read as MP3: its "
                                                       "frames change their rate or "
                                                       "channels part way");
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(m_handle, &rate, &channels, &encoding);
            if (rate != m_rate || channels != m_channels || encoding != MPG123_ENC_SIGNED_16)
                return fail(errorNumbers::invalidFileFormat, formatChanges);
        } else if (result != MPG123_OK && mpg123_errcode(m_handle) == MPG123_BAD_OUTFORMAT) {
            // The one format the wave file's header was written for is all it is let decode to.
            return fail(errorNumbers::invalidFileFormat, formatChanges);
        } else if (result != MPG123_OK) {
            return fail(errorNumbers::invalidFileFormat,
                        m_input + QStringLiteral(" cannot be read as MP3: ")
                            + libraryText(m_handle));
        }
        const auto* pcm = reinterpret_cast<const std::int16_t*>(audio);
        const std::size_t count = bytes / sizeof(std::int16_t);
        for (std::size_t i = 0; i < count; ++i)
            block.push_back(std::int32_t(pcm[i]) * 65536);
        if (block.size() >= writeBlockSamples && !writeBlock())
            return fail(errorNumbers::pathFileAccess, cannotWrite(m_output));
        outcome.frames += std::int64_t(count) / m_channels;
        mpg123_frameinfo2 info{};
        if (mpg123_info2(m_handle, &info) == MPG123_OK)
            endOfLastFrame = mpg123_framepos(m_handle) + info.framesize;

        if (m_pacing.afterFrame)
            m_pacing.afterFrame();
        const auto now = m_clock();
        if (now >= nextReport) {
            postPosition(run, outcome.frames);
            nextReport = now + std::chrono::seconds(1);
        }
    }
    if (m_stopping)
        return outcome;
    outcome.lastFrameCutOff = frameStartsAt(nativePath(m_input), endOfLastFrame);
    if (!writeBlock() || out->close() != kv::kOk)
        return fail(errorNumbers::pathFileAccess, cannotWrite(m_output));
    return outcome;
}

void Mp3Decoder::postPosition(std::uint64_t run, std::int64_t frames)
{
    m_handOver->post([this, run, frames] {
        if (run != m_run)
            return;
        const std::int64_t ms = msOf(frames, m_rate);
        emit PlaybackPosition(int(ms), mmss(ms));
    });
}

void Mp3Decoder::finish(std::uint64_t run, const Outcome& outcome)
{
    if (run != m_run)
        return;
    endWorker();
    // This conversion is over: nothing it posted may follow.
    ++m_run;
    const std::unique_ptr<wavesection::ReplacementFile> file = std::move(m_file);
    const std::int64_t ms = msOf(outcome.frames, m_rate);
    if (outcome.error != 0) {
        emit PlaybackFailed(outcome.error, outcome.description + QStringLiteral(" (at ") + mmss(ms)
                                               + QStringLiteral(")."));
        return;
    }
    if (!file->commit()) {
        emit PlaybackFailed(errorNumbers::pathFileAccess, cannotWrite(m_output) + QLatin1Char('.'));
        return;
    }
    if (m_cutShort.isEmpty() && outcome.lastFrameCutOff)
        m_cutShort = m_input + QStringLiteral(" is cut short: its last frame is cut off.");
    if (!m_cutShort.isEmpty())
        m_cutShort += QStringLiteral(" The wave file holds the ") + mmss(ms)
                      + QStringLiteral(" that could be decoded.");
    emit PlaybackPosition(int(ms), mmss(ms));
    emit PlaybackFinished();
}

} // namespace lentaro
