#include "trace/crashrecord.h"

#include "trace/errortexts.h"
#include "trace/runtimeerror.h"
#include "trace/traceruntime.h"

#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace lentaro {

namespace {

constexpr int internalError = 51;
constexpr int crashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr std::size_t signalCount = std::size(crashSignals);

// What the handler writes, all made before any crash.
struct Prepared {
    std::string path;
    const CallStack* stack = nullptr;
    // The lines up to "Source", and the source line itself.
    std::string head;
    // The labels of the later fields, each filled to its print zone.
    std::string moduleLabel;
    std::string procedureLabel;
    std::string lineLabel;
    std::string numberLabel;
    std::string descriptionLabel;
    // The start and stop lines after their date and time.
    std::string startTail;
    std::string stopTail;
    // The date of the day the record was prepared and that day's first second.
    std::string dayText;
    std::time_t dayStart = 0;
    int utcOffset = 0;
    std::array<std::string, signalCount> descriptions;
    std::array<struct sigaction, signalCount> previous{};
};

Prepared* prepared = nullptr;
stack_t previousAltStack{};
bool ownAltStack = false;
// Room to handle a crash of the stack itself.
alignas(16) char altStack[64 * 1024];

std::string utf8(const QString& text)
{
    return text.toStdString();
}

// The label, then blanks up to the next print zone (columns 1, 15, 29, ...).
std::string zoned(const QString& label)
{
    constexpr qsizetype zoneWidth = 14;
    return utf8(label.leftJustified((label.size() / zoneWidth + 1) * zoneWidth, QLatin1Char(' ')));
}

const char* signalName(int number)
{
    switch (number) {
    case SIGSEGV:
        return "SIGSEGV, an invalid memory reference";
    case SIGBUS:
        return "SIGBUS, a bus error";
    case SIGFPE:
        return "SIGFPE, an arithmetic fault";
    case SIGILL:
        return "SIGILL, an illegal instruction";
    default:
        return "SIGABRT, an abort";
    }
}

// Pieces written one after another to the log; nothing allocates.
class Out
{
public:
    explicit Out(int fd) : fd_(fd) {}

    void text(const char* text, std::size_t size)
    {
        while (size > 0) {
            const ssize_t written = ::write(fd_, text, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return;
            text += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    void text(const char* text) { this->text(text, std::strlen(text)); }
    void text(const std::string& text) { this->text(text.data(), text.size()); }

    void number(long value, int width = 0)
    {
        char digits[24];
        int n = 0;
        const bool negative = value < 0;
        unsigned long rest =
            negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
        do {
            digits[n++] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest > 0 && n < 20);
        while (n < width)
            digits[n++] = '0';
        if (negative)
            digits[n++] = '-';
        char reversed[24];
        for (int i = 0; i < n; ++i)
            reversed[i] = digits[n - 1 - i];
        text(reversed, static_cast<std::size_t>(n));
    }

    void spaces(int count)
    {
        for (int i = 0; i < count; ++i)
            text(" ", 1);
    }

private:
    int fd_;
};

// The date and time of now as the start and stop lines show them: the day's own date text on
// the day the record was prepared, the ISO date on any later day.
void dateAndTime(Out& out, std::time_t now)
{
    long seconds;
    if (now >= prepared->dayStart && now - prepared->dayStart < 86400) {
        out.text(prepared->dayText);
        seconds = static_cast<long>(now - prepared->dayStart);
    } else {
        const long local = static_cast<long>(now) + prepared->utcOffset;
        long days = local / 86400;
        seconds = local % 86400;
        if (seconds < 0) {
            seconds += 86400;
            --days;
        }
        // Days since 1970-01-01 to a civil date (proleptic Gregorian).
        days += 719468;
        const long era = (days >= 0 ? days : days - 146096) / 146097;
        const long dayOfEra = days - era * 146097;
        const long yearOfEra =
            (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const long shifted = (5 * dayOfYear + 2) / 153;
        const long day = dayOfYear - (153 * shifted + 2) / 5 + 1;
        const long month = shifted < 10 ? shifted + 3 : shifted - 9;
        const long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
        out.number(year, 4);
        out.text("-");
        out.number(month, 2);
        out.text("-");
        out.number(day, 2);
    }
    out.text(" ");
    out.number(seconds / 3600, 2);
    out.text(":");
    out.number(seconds / 60 % 60, 2);
    out.text(":");
    out.number(seconds % 60, 2);
}

void writeRecord(int signalIndex)
{
    const int fd = ::open(prepared->path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    Out out(fd);
    const std::time_t now = std::time(nullptr);
    const std::string& description = prepared->descriptions[signalIndex];
    const CallStack& stack = *prepared->stack;
    const CallFrame* innermost = stack.innermostStored();

    dateAndTime(out, now);
    out.text(prepared->startTail);
    out.text(prepared->head);
    out.text(prepared->moduleLabel);
    out.text(innermost ? innermost->module() : "");
    out.text(" \r\n");
    out.text(prepared->procedureLabel);
    out.text(innermost ? innermost->procedure() : "");
    out.text(" \r\n");
    out.text(prepared->lineLabel);
    out.text("0\r\n");
    out.text(prepared->numberLabel);
    out.number(internalError);
    out.text("\r\n");
    out.text(prepared->descriptionLabel);
    out.text(description);
    out.text("\r\n\r\n\r\nCall Tree & Arguments\r\n");
    const int deepest = innermost ? std::min(stack.depth(), CallStack::capacity) : 0;
    for (int level = 1; level <= deepest; ++level) {
        const CallFrame& frame = stack.frame(level);
        out.text(" ");
        out.number(level);
        out.text("\t\t");
        out.spaces(2 * (level - 1));
        out.text(frame.module());
        out.text(" : ");
        out.text(frame.procedure());
        // Argument values cannot be made into text here: that they were there is shown.
        out.text(frame.hasArguments() ? " : (...)" : " : ()");
        if (level < deepest) {
            out.text(" : Call\r\n");
        } else {
            out.text(" : Error Runtime error ");
            out.number(internalError);
            out.text(", ");
            out.text(description);
            out.text("\r\n");
        }
    }
    if (deepest == 0) {
        out.text("\t\t : Error Runtime error ");
        out.number(internalError);
        out.text(", ");
        out.text(description);
        out.text("\r\n");
    }
    out.text("\r\nSystem State Information\r\nUser Said\r\n\r\n");
    dateAndTime(out, now);
    out.text(prepared->stopTail);
    ::close(fd);
}

extern "C" void onCrash(int number, siginfo_t* info, void*)
{
    const int savedErrno = errno;
    std::size_t index = 0;
    while (index < signalCount && crashSignals[index] != number)
        ++index;
    if (prepared && index < signalCount) {
        // One record: whatever handled these signals before handles them from now on, the
        // abort a sanitizer's report ends with included.
        for (std::size_t i = 0; i < signalCount; ++i)
            ::sigaction(crashSignals[i], &prepared->previous[i], nullptr);
        writeRecord(static_cast<int>(index));
        // A fault comes again when the faulting instruction runs again; a sent signal (abort,
        // kill) is sent again, to arrive once this handler has returned.
        if (!info || info->si_code <= 0)
            ::raise(number);
    }
    errno = savedErrno;
}

} // namespace

CrashRecord::CrashRecord(TraceRuntime& runtime)
{
    runtime.sxSTART();
    const TraceSettings& settings = runtime.settings();
    // Only one record keeper at a time. A crash is recorded even when the settings keep no log
    // of run-time errors: it ends the program, and the record is all that is left to tell of it.
    if (prepared)
        return;
    QString logFile = settings.logFile;
    if (logFile.isEmpty() && !runtime.programFolder().isEmpty())
        logFile = runtime.programFolder() + QStringLiteral("/error.log");
    if (logFile.isEmpty())
        return;

    auto* made = new Prepared;
    made->path = logFile.toStdString();
    made->stack = &runtime.callStack();
    const QString lineEnd = QStringLiteral("\r\n");
    const QString source = runtime.executableName() + QStringLiteral(" (local)");
    made->head =
        utf8(lineEnd + QString(65, QLatin1Char('*')) + lineEnd + pfMessageText(62) + lineEnd
             + pfMessageText(27) + lineEnd + QStringLiteral("\t*Error 0") + lineEnd)
        + zoned(pfMessageText(38))
        + utf8(pfCategoryText(pfErrorCategory(internalError)) + pfMessageText(16) + lineEnd)
        + zoned(QStringLiteral("Source")) + utf8(source + QLatin1Char(' ') + lineEnd);
    made->moduleLabel = zoned(QStringLiteral("Module"));
    made->procedureLabel = zoned(pfMessageText(30));
    made->lineLabel = zoned(pfMessageText(35));
    made->numberLabel = zoned(pfMessageText(36));
    made->descriptionLabel = zoned(pfMessageText(37));
    made->startTail = utf8(QStringLiteral(" - start Sentrix client v") + runtimeVersionText()
                           + QStringLiteral(" data capture"));
    made->stopTail = utf8(QStringLiteral(" - stop Sentrix client v") + runtimeVersionText()
                          + QStringLiteral(" data capture") + lineEnd);
    const QDateTime now = QDateTime::currentDateTime();
    made->dayText = utf8(QLocale::system().toString(now.date(), QLocale::ShortFormat));
    made->dayStart = static_cast<std::time_t>(now.date().startOfDay().toSecsSinceEpoch());
    made->utcOffset = now.offsetFromUtc();
    for (std::size_t i = 0; i < signalCount; ++i) {
        made->descriptions[i] = utf8(standardErrorText(internalError) + QStringLiteral(" (")
                                     + QString::fromLatin1(signalName(crashSignals[i]))
                                     + QStringLiteral("): the program ended"));
    }
    prepared = made;

    stack_t current{};
    if (::sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
        stack_t own{};
        own.ss_sp = altStack;
        own.ss_size = sizeof altStack;
        ownAltStack = ::sigaltstack(&own, &previousAltStack) == 0;
    }
    struct sigaction action {};
    action.sa_sigaction = &onCrash;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < signalCount; ++i)
        ::sigaction(crashSignals[i], &action, &made->previous[i]);
    installed_ = true;
}

CrashRecord::~CrashRecord()
{
    if (!installed_)
        return;
    for (std::size_t i = 0; i < signalCount; ++i)
        ::sigaction(crashSignals[i], &prepared->previous[i], nullptr);
    if (ownAltStack)
        ::sigaltstack(&previousAltStack, nullptr);
    ownAltStack = false;
    delete prepared;
    prepared = nullptr;
}

} // namespace lentaro
