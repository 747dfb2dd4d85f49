#pragma once

#include "platform/mci/MciTypes.h"

#include <QObject>

#include <deque>
#include <functional>

namespace lentaro::mci {

// The Done notifications of one control, delivered in the order they arose, each from the event
// loop and never from inside the command or property set that caused it. While the handler of
// one runs (a modal dialog's event loop included) the next waits, and after it each further one
// goes back through the event loop, so a handler that causes another never starves the window.
class DoneQueue : public QObject
{
    Q_OBJECT

public:
    explicit DoneQueue(std::function<void(NotifyCode)> deliver, QObject* parent = nullptr);

    void push(NotifyCode code);
    // Notifications not yet delivered.
    std::size_t waiting() const { return waiting_.size(); }

private:
    void schedule();
    void deliverNext();

    std::function<void(NotifyCode)> deliver_;
    std::deque<NotifyCode> waiting_;
    bool posted_ = false;
    bool delivering_ = false;
};

} // namespace lentaro::mci
