#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace lentaro::test {

// The program as a process of its own (scripted_lentaro: its message boxes answered with
// Enter), on the program and settings folders the test's environment names, on Qt's offscreen
// screen with the null sound device. It reads what the program told as it ran: the boxes
// shown, the windows shown and hidden.
class ProgramProcess
{
public:
    ProgramProcess();
    ~ProgramProcess();

    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    void start();
    qint64 pid() const { return process_.processId(); }
    // Sends the signal to the running program.
    void signal(int number) const;

    // Waits until the program has told this whole line, or it ended, or the time is up; true
    // when it was told.
    bool waitFor(const QString& line, int milliseconds);
    // Waits until the program ended; one still running after the time is killed (false).
    bool waitForEnd(int milliseconds);

    // It ended by itself with exit code 0.
    bool endedCleanly() const;
    // It ended by a signal (a crash, or a signal nothing handled).
    bool crashed() const;

    // The lines it told, oldest first; the boxes' texts.
    QStringList told() const;
    QStringList boxes() const;
    // Windows shown and not hidden again.
    QStringList windowsUp() const;
    // What it wrote on standard error, for a failing test's message.
    QString errors() const;

private:
    void read();

    QProcess process_;
    QString output_;
    QString errors_;
    bool killed_ = false;
};

} // namespace lentaro::test
