#pragma once

#include "platform/cd/UdevMedia.h"

#include <functional>
#include <memory>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace lentaro::cd {

// Listens to udev's events for block disks on the user-interface thread and hands each event's
// properties to the handler. valid() is false when no monitor could be made.
class UdevMonitor
{
public:
    explicit UdevMonitor(std::function<void(const UdevProperties&)> handler);
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    bool valid() const { return m_notifier != nullptr; }

private:
    void receive();

    std::function<void(const UdevProperties&)> m_handler;
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace lentaro::cd
