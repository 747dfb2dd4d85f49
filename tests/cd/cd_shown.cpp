#include "tests/cd/cd_shown.h"

namespace lentaro::test {

namespace {

constexpr int framesPerSecond = 75;

} // namespace

Shown Shown::noDisc()
{
    return {QStringLiteral("No CD in drive"), QStringLiteral("Lentaro: No CD in drive"),
            QStringLiteral("No CD In Drive"), false};
}

Shown Shown::noAudio()
{
    const QString text = QStringLiteral("CD-ROM (no audio tracks)");
    return {text, text, text, false};
}

void PrintTo(const Shown& shown, std::ostream* out)
{
    *out << '"' << shown.pnlMsg.toStdString() << "\", caption \"" << shown.caption.toStdString()
         << "\", title \"" << shown.title.toStdString() << "\", panels "
         << (shown.panels ? "shown" : "hidden");
}

cd::test::ImageSpec audioDisc(int seconds)
{
    cd::test::ImageSpec spec;
    spec.tracks.push_back({seconds * framesPerSecond, 0, false});
    return spec;
}

} // namespace lentaro::test
