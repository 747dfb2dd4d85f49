#include "platform/mci/WaveSaving.h"

#include "platform/audio/EngineSamples.h"
#include "platform/mci/MciErrors.h"
#include "platform/wavesection/ReplacementFile.h"

#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <vector>

namespace lentaro::mci {

namespace {

constexpr std::int64_t chunkFrames = 16384;

Outcome notSaved(const QString& path, const QString& why)
{
    return Outcome::failure(errors::fileNotSaved,
                            QStringLiteral("cannot save %1: %2").arg(path, why));
}

// Why no file can take the place of `path`, as far as can be told.
QString whyNotReplaceable(const QString& path, int error)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return QStringLiteral("it is not a file");
    const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (target.exists() && (!(target.permissions() & writeBits) || !target.isWritable()))
        return QStringLiteral("it is read-only");
    return error != 0 ? QString::fromLocal8Bit(std::strerror(error))
                      : QStringLiteral("no file can be made beside it");
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
    errno = 0;
    wavesection::ReplacementFile replacement(path.toStdString());
    if (!replacement.isOpen())
        return notSaved(path, whyNotReplaceable(path, errno));

    QString why;
    std::unique_ptr<kv::SoundStream> file = kv::SoundStream::openWrite(
        audio::waveSampleFormat(format), replacement.temporaryPath(), kv::kFileTypeWav);
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
    if (why.isEmpty() && !replacement.commit())
        why = QStringLiteral("the file could not be put in place");
    return why.isEmpty() ? Outcome{} : notSaved(path, why);
}

} // namespace lentaro::mci
