#pragma once

#include "platform/shell/service.h"

#include <functional>
#include <map>
#include <memory>

namespace lentaro::cd {

// A disc arrived in a drive or left it. letter is the drive's, 'D' to 'Z'.
struct DiscChange {
    char letter = 0;
    bool arrived = false;
    bool operator==(const DiscChange& other) const
    {
        return letter == other.letter && arrived == other.arrived;
    }
};

class DiscChangeSource;

// Events reach the handler while the subscription lives; destroying it ends them.
class DiscChangeSubscription
{
public:
    ~DiscChangeSubscription();
    DiscChangeSubscription(const DiscChangeSubscription&) = delete;
    DiscChangeSubscription& operator=(const DiscChangeSubscription&) = delete;

private:
    friend class DiscChangeSource;
    struct Subscribers;
    DiscChangeSubscription(std::weak_ptr<Subscribers> subscribers, int id);

    std::weak_ptr<Subscribers> m_subscribers;
    int m_id;
};

// Where disc arrivals and removals come from: media changes only, changes only (no event for a
// state that was already known, none when watching starts), on the user-interface thread. Each
// subscriber owns its subscription. A source watches only while someone is subscribed.
class DiscChangeSource
{
public:
    using Handler = std::function<void(const DiscChange&)>;

    DiscChangeSource();
    virtual ~DiscChangeSource();
    DiscChangeSource(const DiscChangeSource&) = delete;
    DiscChangeSource& operator=(const DiscChangeSource&) = delete;

    [[nodiscard]] std::unique_ptr<DiscChangeSubscription> subscribe(Handler handler);

protected:
    // To every subscriber, in the order they subscribed; a handler may end any subscription.
    void report(const DiscChange& change);
    virtual void startWatching() {}
    virtual void stopWatching() {}

private:
    friend class DiscChangeSubscription; // stops the watching when the last one ends
    std::shared_ptr<DiscChangeSubscription::Subscribers> m_subscribers;
};

// The program's source: the disc-change monitor over cdDrives(), made at the first call.
extern Service<DiscChangeSource> discChanges;

} // namespace lentaro::cd
