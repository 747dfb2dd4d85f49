#include "tests/cd/support/mp3_maker.h"

#include <QFile>

#include <lame.h>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace lentaro::test {

namespace {

// An ID3v2.3 tag holding a title, as taggers put before the audio.
QByteArray id3v2Tag()
{
    const QByteArray title = QByteArrayLiteral("\x00Test tone");
    QByteArray frame = QByteArrayLiteral("TIT2");
    for (int shift = 24; shift >= 0; shift -= 8)
        frame.append(char((title.size() >> shift) & 0xFF));
    frame.append(2, '\0');
    frame.append(title);
    // Room a tagger leaves for later edits.
    frame.append(200, '\0');
    QByteArray tag = QByteArrayLiteral("ID3\x03\x00\x00");
    // The size in four 7-bit bytes.
    for (int shift = 21; shift >= 0; shift -= 7)
        tag.append(char((frame.size() >> shift) & 0x7F));
    return tag + frame;
}

} // namespace

QByteArray encodeMp3(const Mp3Spec& spec)
{
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, spec.rate);
    lame_set_out_samplerate(lame, spec.rate);
    lame_set_num_channels(lame, spec.channels);
    lame_set_mode(lame, spec.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, spec.kbps);
    lame_set_bWriteVbrTag(lame, spec.infoFrame ? 1 : 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        throw std::runtime_error("lame refused the parameters");
    }
    std::vector<short> left(std::size_t(spec.frames));
    for (int i = 0; i < spec.frames; ++i)
        left[std::size_t(i)] =
            short(std::lround(16383.0 * std::sin(2.0 * M_PI * spec.frequency * i / spec.rate)));
    std::vector<unsigned char> out(std::size_t(spec.frames) * 5 / 4 + 7200 + 16384);
    const int encoded =
        lame_encode_buffer(lame, left.data(), spec.channels == 2 ? left.data() : nullptr,
                           spec.frames, out.data(), int(out.size()));
    const int flushed = lame_encode_flush(lame, out.data() + encoded, int(out.size()) - encoded);
    if (encoded < 0 || flushed < 0) {
        lame_close(lame);
        throw std::runtime_error("lame failed to encode");
    }
    out.resize(std::size_t(encoded + flushed));
    // The info frame is written last, over the first frame the encoder kept free for it.
    if (spec.infoFrame) {
        unsigned char info[2880];
        const std::size_t size = lame_get_lametag_frame(lame, info, sizeof info);
        std::copy(info, info + size, out.begin());
    }
    lame_close(lame);
    QByteArray bytes(reinterpret_cast<const char*>(out.data()), qsizetype(out.size()));
    return spec.id3v2 ? id3v2Tag() + bytes : bytes;
}

void writeMp3(const QString& path, const Mp3Spec& spec)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encodeMp3(spec)) < 0)
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace lentaro::test
