#include "platform/cd/src/UdevMonitor.h"

#include <QSocketNotifier>

#include <libudev.h>

namespace lentaro::cd {

UdevMonitor::UdevMonitor(std::function<void(const UdevProperties&)> handler)
    : m_handler(std::move(handler)), m_udev(udev_new())
{
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor
        || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "block", "disk") < 0
        || udev_monitor_enable_receiving(m_monitor) < 0)
        return;
    m_notifier =
        std::make_unique<QSocketNotifier>(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { receive(); });
}

UdevMonitor::~UdevMonitor()
{
    m_notifier.reset();
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void UdevMonitor::receive()
{
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        UdevProperties properties;
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_device_get_properties_list_entry(device))
        {
            const char* value = udev_list_entry_get_value(entry);
            properties[udev_list_entry_get_name(entry)] = value ? value : "";
        }
        udev_device_unref(device);
        m_handler(properties);
    }
}

} // namespace lentaro::cd
