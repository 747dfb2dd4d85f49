#include "app/pause.h"

#include "trace/tracescope.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <climits>

namespace lentaro {

void Pause(float nSecond)
{
    TraceScope trace("Vellutilities", "Sub Pause", {{"nSecond", nSecond}});
    trace.run([&] {
        if (!(nSecond > 0.0f))
            return;
        const double ms = double(nSecond) * 1000.0;
        const QDeadlineTimer deadline = ms < 1e15
                                            ? QDeadlineTimer(qint64(ms + 0.5), Qt::PreciseTimer)
                                            : QDeadlineTimer(QDeadlineTimer::Forever);
        // Waits for events instead of spinning; the timer wakes the wait when nothing else
        // arrives before the end.
        QTimer wake;
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        while (!deadline.hasExpired()) {
            if (!wake.isActive())
                wake.start(deadline.isForever()
                               ? INT_MAX
                               : int(qBound<qint64>(1, deadline.remainingTime(), qint64(INT_MAX))));
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
    });
}

} // namespace lentaro
