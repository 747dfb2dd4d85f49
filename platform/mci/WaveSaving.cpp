#include "platform/mci/WaveSaving.h"

#include "platform/audio/EngineSamples.h"
#include "platform/mci/MciErrors.h"

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace lentaro::mci {

namespace {

constexpr std::int64_t chunkFrames = 16384;

std::atomic<unsigned> temporaryCount{0};

Outcome notSaved(const QString& path, const QString& why)
{
    return Outcome::failure(errors::fileNotSaved,
                            QStringLiteral("cannot save %1: %2").arg(path, why));
}

// A hidden name in the file's folder that no other writer uses, made with the permissions any new
// file gets; empty when none can be made, with errno saying why.
std::string temporaryBeside(const QString& path)
{
    const QFileInfo info(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = QStringLiteral("%1/.%2.saving-%3-%4")
                                 .arg(info.absolutePath(), info.fileName())
                                 .arg(::getpid())
                                 .arg(temporaryCount++);
        const std::string temporary = name.toStdString();
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return temporary;
        }
        if (errno != EEXIST)
            break;
    }
    return {};
}

// Puts the file's contents on disk before its name takes the old file's place.
bool flushToDisk(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    return ::close(fd) == 0 && flushed;
}

// Copies every frame of the source into the file; the reason when one is lost.
QString copyFrames(kv::SoundStream& source, kv::SoundStream& file)
{
    if (source.seekFrame(0) != kv::kOk)
        return QStringLiteral("the sound cannot be read from its start");
    std::vector<std::int32_t> samples(static_cast<std::size_t>(chunkFrames * source.channels()));
    for (;;) {
        std::int64_t got = 0;
        const std::int32_t read =
            source.read(samples.data(), static_cast<std::int64_t>(samples.size()), got);
        if (read != kv::kOk && read != kv::kEndOfFile)
            return QString::fromLatin1(kv::resultText(read));
        if (got > 0) {
            if (const std::int32_t written = file.write(samples.data(), got); written != kv::kOk)
                return QString::fromLatin1(kv::resultText(written));
        }
        if (read == kv::kEndOfFile)
            return {};
    }
}

} // namespace

Outcome saveWave(kv::SoundStream& source, const audio::Format& format, const QString& path)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return notSaved(path, QStringLiteral("it is not a file"));
    const std::string temporary = temporaryBeside(path);
    if (temporary.empty())
        return notSaved(path, QString::fromLocal8Bit(std::strerror(errno)));

    QString why;
    std::unique_ptr<kv::SoundStream> file =
        kv::SoundStream::openWrite(audio::waveSampleFormat(format), temporary, kv::kFileTypeWav);
    if (!file)
        why = QStringLiteral("out of memory");
    else if (file->lastError() != kv::kOk)
        why = QString::fromLatin1(kv::resultText(file->lastError()));
    else
        why = copyFrames(source, *file);
    if (file) {
        const std::int32_t closed = file->close();
        if (why.isEmpty() && closed != kv::kOk)
            why = QString::fromLatin1(kv::resultText(closed));
    }
    if (why.isEmpty() && !flushToDisk(temporary))
        why = QString::fromLocal8Bit(std::strerror(errno));
    if (why.isEmpty() && std::rename(temporary.c_str(), path.toStdString().c_str()) != 0)
        why = QString::fromLocal8Bit(std::strerror(errno));
    if (!why.isEmpty()) {
        std::remove(temporary.c_str());
        return notSaved(path, why);
    }
    return {};
}

} // namespace lentaro::mci
