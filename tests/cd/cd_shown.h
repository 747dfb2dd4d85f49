#pragma once

#include "tests/platform/cd/support/cd_image_writer.h"

#include <QString>

#include <ostream>

namespace lentaro::test {

// The state the window shows: pnlMsg, caption, title field, whether the panels show.
struct Shown {
    QString pnlMsg;
    QString caption;
    QString title;
    bool panels;
    bool operator==(const Shown& o) const
    {
        return pnlMsg == o.pnlMsg && caption == o.caption && title == o.title && panels == o.panels;
    }

    static Shown noDisc();
    static Shown noAudio();
};
void PrintTo(const Shown& shown, std::ostream* out);

// One audio track of `seconds`.
cd::test::ImageSpec audioDisc(int seconds);

} // namespace lentaro::test
