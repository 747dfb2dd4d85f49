#include "waveview/gridtempo.h"

#include "mainwindow/expansionfactor.h"

#include <algorithm>
#include <cmath>

namespace lentaro {

namespace {

} // namespace

float tempoOfBeat(std::int32_t beatMs)
{
    return float(600000 / beatMs) / 10;
}

double originalTempo(float tempo, int slowDownPercent)
{
    const float scaled = tempo * 1000 / float(std::max(slowDownPercent, slowestPercent));
    return std::nearbyint(double(scaled)) / 10;
}

QString tempoMessage(float tempo, double original)
{
    // A single prints its 7 significant digits: 180.1, not 180.100006.
    return QStringLiteral("Slowed-down tempo is %1 beats per minute.\r\n\r\nOriginal tempo: %2")
        .arg(QString::number(double(tempo), 'g', 7), QString::number(original, 'g', 15));
}

} // namespace lentaro
