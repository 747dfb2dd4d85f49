#include "app/exitsignals.h"

#include "app/exitprogram.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace lentaro {

namespace {

constexpr int exitSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr std::size_t signalCount = std::size(exitSignals);

// The pipe's ends: the handler writes, the event loop reads. -1 while no ExitSignals lives.
int readEnd = -1;
int writeEnd = -1;
std::array<struct sigaction, signalCount> previous{};

extern "C" void onExitSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    // A full pipe already holds a request to end.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

ExitSignals::ExitSignals()
{
    if (readEnd >= 0)
        return;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd = ends[0];
    writeEnd = ends[1];
    notifier_ = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { arrived(); });

    struct sigaction action {};
    action.sa_handler = &onExitSignal;
    // Once: the next one of the kind takes the default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < signalCount; ++i)
        ::sigaction(exitSignals[i], &action, &previous[i]);
    installed_ = true;
}

ExitSignals::~ExitSignals()
{
    if (!installed_)
        return;
    for (std::size_t i = 0; i < signalCount; ++i)
        ::sigaction(exitSignals[i], &previous[i], nullptr);
    delete notifier_;
    ::close(readEnd);
    ::close(writeEnd);
    readEnd = writeEnd = -1;
}

void ExitSignals::arrived()
{
    unsigned char numbers[16];
    while (::read(readEnd, numbers, sizeof numbers) > 0) {
    }
    exitProgram();
}

} // namespace lentaro
