#pragma once

#include <QString>

#include <chrono>

namespace lentaro {

// The main window's procedures the CD side calls.
class CdSideHost
{
public:
    virtual ~CdSideHost() = default;

    // Switches to the view "CD", "Wave" or "SlowPlay".
    virtual void changeToMode(const QString& theMode, bool suppressRefresh) = 0;
    // Whether the current view's device plays.
    virtual bool playing() = 0;
    // Shows the current device's position in the position box and the track scroll bar.
    virtual void updatePosition() = 0;
    // Sets the current device's time format to tracks/minutes/seconds/frames.
    virtual void tmsf() = 0;
    // The one "last typing" stamp: typing into the CD fields or an editing grid sets it.
    virtual void stampTyping() = 0;
    virtual std::chrono::steady_clock::duration sinceTyping() const = 0;
    // The recent-files list takes fn as its most recent file.
    virtual void addToMRUs(const QString& fn) = 0;
    // Opens fn in the wave device and shows its length; false when it does not open.
    virtual bool playWaveFile(const QString& fn) = 0;
};

} // namespace lentaro
