#pragma once

#include "tests/mainwindow/main_window_fixture.h"

#include "platform/audio/Clock.h"
#include "platform/audio/FrameSink.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/mci/SoundCard.h"

#include <QList>
#include <QVariantList>

#include <memory>

namespace lentaro::test {

// The main window over a null sound card that plays only as far as the test moves its clock,
// keeping all it plays, with wave files made to order and the database read back.
class WaveWindowTest : public MainWindowTest
{
protected:
    // Chooses the file in File > Open.
    void openThroughMenu(frmMain& main, const QString& path);
    // The rows a query on lentaro.mdb gives, through a connection of the test's own.
    QList<QVariantList> rows(const QString& sql) const;
    void execute(const QString& sql) const;
    // The samples played so far.
    std::vector<std::int16_t> heard() const;

    std::shared_ptr<audio::ManualClock> clock_ = std::make_shared<audio::ManualClock>();
    std::shared_ptr<audio::MemorySink> sink_ = std::make_shared<audio::MemorySink>();
    audio::NullSoundCard card_{1, clock_};
    mci::OnNullCard seam_{card_};
    ScopedOverride<mci::SoundCard> cardInPlace_{mci::soundCard, seam_};

    void SetUp() override
    {
        MainWindowTest::SetUp();
        card_.setSink(sink_);
    }
};

} // namespace lentaro::test
