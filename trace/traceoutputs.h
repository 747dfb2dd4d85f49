#pragma once

#include "trace/circularlog.h"
#include "trace/monitorlink.h"

#include <QString>

#include <memory>

namespace lentaro {

// The three places a trace line goes: the plain log, the circular log and the monitor program.
class TraceOutputs
{
public:
    // The plain log is written when both capture and write are on.
    void setPlainLog(bool capture, bool write, const QString& path);

    // Opens the circular log; false (and the circular log stays off) when it cannot be opened.
    bool openCircularLog(const QString& path, int recordSize, int maxRecords);

    void setMonitor(std::unique_ptr<MonitorLink> monitor) { monitor_ = std::move(monitor); }
    bool monitorPresent() const { return monitor_ != nullptr; }

    // True when any output is on; trace lines are made only then.
    bool anyOn() const { return capture_ || circularOn_ || monitorPresent(); }

    // Sends one line (ending in CR LF) to every output that is on. A monitor that asks for a
    // pause holds the program here, its windows disabled, until the monitor lets it go on.
    void pfWriteTraceLine(const QString& line);

    // Appends one line to the plain log when writing is on; the file is closed again at once.
    void pfAppendLogLine(const QString& line);

private:
    void sendToMonitor(const QString& line);

    bool capture_ = false;
    bool write_ = false;
    QString plainLogPath_;
    CircularLog circular_;
    bool circularOn_ = false;
    std::unique_ptr<MonitorLink> monitor_;
};

} // namespace lentaro
