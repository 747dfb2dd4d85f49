#include "tests/cd/support/four_track_disc.h"

#include <QByteArray>
#include <QFile>

#include <cmath>
#include <cstdint>

namespace lentaro::test {

cd::test::ImageSpec fourTrackDisc()
{
    cd::test::ImageSpec spec;
    for (int track = 0; track < 4; ++track)
        spec.tracks.push_back({trackFrames, 0, false});
    return spec;
}

bool fillWithTones(const std::filesystem::path& cue)
{
    std::filesystem::path bin = cue;
    bin.replace_extension(".bin");
    QFile file(QString::fromStdString(bin.string()));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes;
    for (const double tone : trackTones) {
        for (int at = 0; at < trackFrames * cd::samplesPerFrame; ++at) {
            const double wave = std::sin(2 * M_PI * tone * at / 44100.0);
            for (const double level : {0.5, 0.25}) {
                const auto sample = static_cast<std::int16_t>(std::lround(wave * level * 32767));
                bytes.append(char(sample & 0xff));
                bytes.append(char((sample >> 8) & 0xff));
            }
        }
    }
    return file.write(bytes) == bytes.size();
}

} // namespace lentaro::test
