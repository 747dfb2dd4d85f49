#include "platform/cd/DiscChangeMonitor.h"

#include "platform/cd/src/UdevMonitor.h"

#include <QTimer>

namespace lentaro::cd {

DiscChangeMonitor::DiscChangeMonitor() : m_given(nullptr), m_drives(nullptr), m_options{}
{
}

DiscChangeMonitor::DiscChangeMonitor(DriveList& drives, Options options)
    : m_given(&drives), m_drives(&drives), m_options(options)
{
}

DiscChangeMonitor::~DiscChangeMonitor() = default;

bool DiscChangeMonitor::heardThroughUdev(const Drive& drive) const
{
    return m_udev && !drive.deviceNode().empty();
}

void DiscChangeMonitor::startWatching()
{
    if (m_options.useUdev) {
        m_udev = std::make_unique<UdevMonitor>(
            [this](const UdevProperties& event) { udevEvent(event); });
        if (!m_udev->valid())
            m_udev.reset();
    }
    m_drives = m_given ? m_given : &cdDrives();
    m_present.clear();
    for (int number = 1; number <= m_drives->count(); ++number)
        m_present.push_back(m_drives->drive(number)->discPresent());
    m_timer = std::make_unique<QTimer>();
    QObject::connect(m_timer.get(), &QTimer::timeout, [this] { poll(); });
    m_timer->start(m_options.pollInterval);
}

void DiscChangeMonitor::stopWatching()
{
    m_timer.reset();
    m_udev.reset();
    m_present.clear();
}

void DiscChangeMonitor::update(int number, bool present)
{
    if (number > static_cast<int>(m_present.size()) || m_present[number - 1] == present)
        return;
    m_present[number - 1] = present;
    report({m_drives->drive(number)->letter(), present});
}

void DiscChangeMonitor::poll()
{
    for (int number = 1; number <= static_cast<int>(m_present.size()); ++number) {
        Drive& drive = *m_drives->drive(number);
        if (!heardThroughUdev(drive))
            update(number, drive.discPresent());
    }
}

void DiscChangeMonitor::udevEvent(const UdevProperties& event)
{
    const std::optional<UdevMedia> media = udevMediaOf(event);
    if (!media)
        return;
    for (int number = 1; number <= static_cast<int>(m_present.size()); ++number) {
        if (m_drives->drive(number)->deviceNode() == media->node)
            update(number, media->present);
    }
}

} // namespace lentaro::cd
