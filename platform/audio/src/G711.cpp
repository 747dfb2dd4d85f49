#include "G711.h"

namespace lentaro::audio {

std::int16_t muLawToLinear(std::uint8_t code) {
    const int bits = static_cast<std::uint8_t>(~code);
    const int exponent = (bits >> 4) & 0x07;
    const int mantissa = bits & 0x0F;
    const int bias = 0x84;
    const int magnitude = (((mantissa << 3) + bias) << exponent) - bias;
    return static_cast<std::int16_t>((bits & 0x80) ? -magnitude : magnitude);
}

std::int16_t aLawToLinear(std::uint8_t code) {
    const int bits = code ^ 0x55;
    const int segment = (bits & 0x70) >> 4;
    int magnitude = (bits & 0x0F) << 4;
    if (segment == 0) {
        magnitude += 8;
    } else {
        magnitude += 0x108;
        magnitude <<= segment - 1;
    }
    return static_cast<std::int16_t>((bits & 0x80) ? magnitude : -magnitude);
}

}  // namespace lentaro::audio
