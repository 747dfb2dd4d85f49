#include "cd/mcihelpers.h"

#include "platform/cd/DriveList.h"
#include "platform/mci/MMControl.h"
#include "trace/errornumbers.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <cstdint>
#include <limits>

namespace lentaro {

namespace {

constexpr char module[] = "sendmcicommand";
constexpr int formatTagPcm = 1;

// A product held in a variable of the given integer type, as the format record keeps it.
template <typename Held>
Held checkedProduct(std::int64_t a, std::int64_t b)
{
    const std::int64_t product = a * b;
    if (product < std::numeric_limits<Held>::min() || product > std::numeric_limits<Held>::max())
        throw RuntimeError(errorNumbers::overflow);
    return static_cast<Held>(product);
}

// Byte k of a packed time, as two digits at least.
QString byteText(int packed, int k)
{
    const unsigned byte = static_cast<unsigned>(packed) >> (8 * k) & 0xFF;
    return QStringLiteral("%1").arg(byte, 2, 10, QLatin1Char('0'));
}

} // namespace

bool SetRecordingParameters(mci::MMControl& WaveControl, int bitsPerSample, int numberOfChannels,
                            int sampleRate)
{
    TraceScope trace(module, "Function SetRecordingParameters",
                     {{"bitsPerSample", bitsPerSample},
                      {"numberOfChannels", numberOfChannels},
                      {"sampleRate", sampleRate}});
    return trace.run(false, [&] {
        // Whole bytes per sample: 12-bit samples take two, not one.
        const auto bytesPerSample = (bitsPerSample + 7) / 8;
        const auto blockAlign = checkedProduct<std::int16_t>(bytesPerSample, numberOfChannels);
        const auto avgBytesPerSec = checkedProduct<std::int32_t>(blockAlign, sampleRate);
        return WaveControl.setWaveFormat(formatTagPcm, numberOfChannels, sampleRate, avgBytesPerSec,
                                         blockAlign, bitsPerSample)
               == 0;
    });
}

QString toMS(int tmsf)
{
    TraceScope trace(module, "Function toMS", {{"tmsf", tmsf}});
    return trace.run(QString(),
                     [&] { return byteText(tmsf, 0) + QLatin1Char(':') + byteText(tmsf, 1); });
}

QString toTMS(int tmsf)
{
    TraceScope trace(module, "Function toTMS", {{"tmsf", tmsf}});
    return trace.run(QString(), [&] {
        return byteText(tmsf, 0) + QLatin1Char(':') + byteText(tmsf, 1) + QLatin1Char(':')
               + byteText(tmsf, 2);
    });
}

QString GetNthCdRomDriveLetter(int n)
{
    TraceScope trace(module, "Function GetNthCdRomDriveLetter", {{"n", n}});
    return trace.run(QString(), [&] { return QString::fromStdString(cd::nthDriveLetter(n)); });
}

} // namespace lentaro
