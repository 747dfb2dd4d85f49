#include "tests/program/program_process.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>

#include <csignal>

namespace lentaro::test {

ProgramProcess::ProgramProcess()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LENTARO_AUDIO"), QStringLiteral("null"));
    process_.setProcessEnvironment(environment);
    process_.setProgram(QStringLiteral(SCRIPTED_LENTARO));
}

ProgramProcess::~ProgramProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void ProgramProcess::start()
{
    process_.start();
    process_.waitForStarted(10000);
}

void ProgramProcess::signal(int number) const
{
    if (process_.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(process_.processId()), number);
}

void ProgramProcess::read()
{
    output_ += QString::fromUtf8(process_.readAllStandardOutput());
    errors_ += QString::fromUtf8(process_.readAllStandardError());
}

bool ProgramProcess::waitFor(const QString& line, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    for (;;) {
        read();
        if (told().contains(line))
            return true;
        if (process_.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
        process_.waitForReadyRead(50);
    }
}

bool ProgramProcess::waitForEnd(int milliseconds)
{
    if (!process_.waitForFinished(milliseconds)) {
        killed_ = true;
        process_.kill();
        process_.waitForFinished(5000);
    }
    read();
    return !killed_;
}

bool ProgramProcess::endedCleanly() const
{
    return !killed_ && process_.state() == QProcess::NotRunning
           && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

bool ProgramProcess::crashed() const
{
    return !killed_ && process_.state() == QProcess::NotRunning
           && process_.exitStatus() == QProcess::CrashExit;
}

QStringList ProgramProcess::told() const
{
    return output_.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList ProgramProcess::boxes() const
{
    QStringList texts;
    for (const QString& line : told()) {
        if (line.startsWith(QLatin1String("box: ")))
            texts.append(line.mid(5));
    }
    return texts;
}

QStringList ProgramProcess::windowsUp() const
{
    QStringList up;
    for (const QString& line : told()) {
        if (line.startsWith(QLatin1String("shown: ")))
            up.append(line.mid(7));
        else if (line.startsWith(QLatin1String("hidden: ")))
            up.removeOne(line.mid(8));
    }
    return up;
}

QString ProgramProcess::errors() const
{
    return errors_;
}

} // namespace lentaro::test
