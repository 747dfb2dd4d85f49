#include "trace/traceoutputs.h"

#include "trace/disabledwindows.h"
#include "trace/monitorprotocol.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <thread>

namespace lentaro {

namespace {

// How long a paused program waits, handling its events, between two polls of the monitor.
constexpr int pausePollMs = 50;

void waitHandlingEvents(int ms)
{
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void TraceOutputs::setPlainLog(bool capture, bool write, const QString& path)
{
    capture_ = capture;
    write_ = write;
    plainLogPath_ = path;
}

bool TraceOutputs::openCircularLog(const QString& path, int recordSize, int maxRecords)
{
    circularOn_ = circular_.open(path, recordSize, maxRecords);
    return circularOn_;
}

void TraceOutputs::pfWriteTraceLine(const QString& line)
{
    if (capture_)
        pfAppendLogLine(line);
    if (circularOn_)
        circular_.write(line);
    if (monitor_)
        sendToMonitor(line);
}

void TraceOutputs::pfAppendLogLine(const QString& line)
{
    if (!write_)
        return;
    QFile log(plainLogPath_);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(line.toUtf8());
}

void TraceOutputs::sendToMonitor(const QString& line)
{
    if (monitor_->send(monitor::SetText, static_cast<std::uint32_t>(line.size()), line.toUtf8())
        != monitor::PauseRequest) {
        return;
    }
    const DisabledWindows disabled;
    while (monitor_->send(monitor::Query, monitor::StillPaused) != 0) {
        waitHandlingEvents(pausePollMs);
        if (monitor_->send(monitor::Query, monitor::Resume) != 0)
            break;
    }
}

} // namespace lentaro
