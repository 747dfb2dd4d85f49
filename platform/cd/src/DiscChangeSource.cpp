#include "platform/cd/DiscChangeSource.h"

#include "platform/cd/DiscChangeMonitor.h"

#include <vector>

namespace lentaro::cd {

struct DiscChangeSubscription::Subscribers {
    DiscChangeSource* source;
    std::map<int, DiscChangeSource::Handler> handlers;
    int nextId = 1;
};

DiscChangeSubscription::DiscChangeSubscription(std::weak_ptr<Subscribers> subscribers, int id)
    : m_subscribers(std::move(subscribers)), m_id(id)
{
}

DiscChangeSubscription::~DiscChangeSubscription()
{
    const std::shared_ptr<Subscribers> subscribers = m_subscribers.lock();
    if (!subscribers)
        return;
    subscribers->handlers.erase(m_id);
    if (subscribers->handlers.empty())
        subscribers->source->stopWatching();
}

DiscChangeSource::DiscChangeSource()
    : m_subscribers(std::make_shared<DiscChangeSubscription::Subscribers>())
{
    m_subscribers->source = this;
}

DiscChangeSource::~DiscChangeSource() = default;

std::unique_ptr<DiscChangeSubscription> DiscChangeSource::subscribe(Handler handler)
{
    const bool first = m_subscribers->handlers.empty();
    const int id = m_subscribers->nextId++;
    m_subscribers->handlers.emplace(id, std::move(handler));
    if (first)
        startWatching();
    return std::unique_ptr<DiscChangeSubscription>(new DiscChangeSubscription(m_subscribers, id));
}

void DiscChangeSource::report(const DiscChange& change)
{
    const std::shared_ptr<DiscChangeSubscription::Subscribers> subscribers = m_subscribers;
    std::vector<int> ids;
    for (const auto& [id, handler] : subscribers->handlers)
        ids.push_back(id);
    for (int id : ids) {
        const auto found = subscribers->handlers.find(id);
        if (found == subscribers->handlers.end())
            continue;
        const Handler handler = found->second; // the handler may end its own subscription
        handler(change);
    }
}

namespace {

DiscChangeSource& programMonitor()
{
    static DiscChangeMonitor monitor;
    return monitor;
}

} // namespace

Service<DiscChangeSource> discChanges{&programMonitor};

} // namespace lentaro::cd
