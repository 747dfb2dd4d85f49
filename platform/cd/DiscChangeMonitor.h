#pragma once

#include "platform/cd/DiscChangeSource.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/UdevMedia.h"

#include <chrono>
#include <memory>
#include <vector>

class QTimer;

namespace lentaro::cd {

class UdevMonitor;

// The disc-change source over a drive list. Drives are heard through udev's events when its
// daemon runs and polled otherwise; image drives are always polled (the .cue there and usable,
// the tray closed). Watching starts with the first subscription, from the state the drives are in
// then, and stops with the last. Removals the layer's own eject causes are reported like any other.
class DiscChangeMonitor : public DiscChangeSource
{
public:
    struct Options {
        std::chrono::milliseconds pollInterval{1000};
        bool useUdev = udevDaemonRuns();
    };

    // Over the drive list in place (cdDrives) each time watching starts.
    DiscChangeMonitor();
    DiscChangeMonitor(DriveList& drives, Options options);
    ~DiscChangeMonitor() override;

    // Checks the polled drives now, as the timer does.
    void poll();
    // Takes in one udev event, as the udev monitor does.
    void udevEvent(const UdevProperties& event);

private:
    void startWatching() override;
    void stopWatching() override;
    bool heardThroughUdev(const Drive& drive) const;
    void update(int number, bool present);

    DriveList* const m_given; // null: cdDrives() when watching starts
    DriveList* m_drives;      // the list watched
    const Options m_options;
    std::vector<bool> m_present; // by drive number - 1, while watching
    std::unique_ptr<QTimer> m_timer;
    std::unique_ptr<UdevMonitor> m_udev;
};

} // namespace lentaro::cd
