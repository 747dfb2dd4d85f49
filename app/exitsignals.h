#pragma once

#include <QObject>

class QSocketNotifier;

namespace lentaro {

// While it lives, SIGTERM, SIGHUP and SIGINT (a desktop logout, a closed terminal, Ctrl+C) end
// the program through its exit path, as File > Exit does (exitProgram): the handler only
// writes the signal's number into a pipe, and the event loop, reading it, runs the exit path.
// A second signal of the same kind ends the process at once (its default action), so a program
// whose event loop no longer turns can still be stopped.
class ExitSignals : public QObject
{
public:
    ExitSignals();
    ~ExitSignals() override;

    ExitSignals(const ExitSignals&) = delete;
    ExitSignals& operator=(const ExitSignals&) = delete;

private:
    void arrived();

    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
};

} // namespace lentaro
