#pragma once

#include "platform/mci/MMControl.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>
#include <thread>
#include <vector>

namespace lentaro::mci::test {

// Keeps the codes of a control's Done events, in the order they came.
struct DoneLog {
    explicit DoneLog(MMControl& control)
    {
        QObject::connect(&control, &MMControl::done, [this](int code) { codes.push_back(code); });
    }
    std::vector<int> codes;
};

// Runs the event loop until nothing posted is left over; each Done waits for a pass of its own.
inline void drainEvents()
{
    for (int pass = 0; pass < 100; ++pass)
        QCoreApplication::processEvents();
}

// Runs the event loop until the condition holds; false when it never comes.
inline bool eventually(const std::function<bool()>& condition)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > 20000)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::yield();
    }
    return true;
}

} // namespace lentaro::mci::test
