#include "cd/mixerontop.h"

#include "platform/forms/prompts.h"
#include "platform/forms/windowhandles.h"
#include "trace/tracescope.h"

#include <QApplication>
#include <QProcess>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace lentaro {

namespace {

constexpr char module[] = "mixerOnTop";
// How long the mixer gets to end when asked before it is killed, and to die then.
constexpr int mixerEndMs = 2000;

QStringList mixerCommand()
{
    const QString configured = qEnvironmentVariable("LENTARO_MIXER");
    if (!configured.isEmpty())
        return QProcess::splitCommand(configured);
    return {QStringLiteral("pavucontrol"), QStringLiteral("--tab=2")};
}

// The program's top-level windows' handles, in handle order.
std::vector<std::int32_t> topLevelHandles()
{
    std::vector<std::int32_t> handles;
    for (QWidget* window : QApplication::topLevelWidgets())
        handles.push_back(forms::windowHandle(window));
    std::sort(handles.begin(), handles.end());
    return handles;
}

} // namespace

MixerOnTop& mixerOnTop()
{
    static MixerOnTop state;
    return state;
}

QString foregroundWindowText()
{
    TraceScope trace(module, "Function foregroundWindowText");
    return trace.run(QString(),
                     [&] { return windowText(forms::windowHandle(QApplication::activeWindow())); });
}

QString windowText(std::int32_t hw)
{
    TraceScope trace(module, "Function windowText", {{"hw", hw}});
    return trace.run(QString(), [&] {
        const QWidget* window = forms::windowFromHandle(hw);
        return window ? window->windowTitle() : QString();
    });
}

std::int32_t getHwndContaining(const QString& titleSubstr)
{
    TraceScope trace(module, "Function getHwndContaining", {{"titleSubstr", titleSubstr}});
    return trace.run(std::int32_t(0), [&] {
        std::int32_t found = 0;
        for (std::int32_t handle : topLevelHandles()) {
            if (windowText(handle).contains(titleSubstr, Qt::CaseInsensitive))
                found = handle;
        }
        return found;
    });
}

std::int32_t showMixer()
{
    TraceScope trace(module, "Function showMixer");
    return trace.run(std::int32_t(0), [&] {
        MixerOnTop& mixer = mixerOnTop();
        if (mixerRunning()) {
            bringMixerToFront();
            mixer.mixerHwnd = getHwndContaining(QStringLiteral("CONTROL"));
            return mixer.mixerHwnd;
        }
        // Never started, or ended since: a new one takes its place.
        delete mixer.mixerTask;
        const QStringList command = mixerCommand();
        auto* task = new QProcess(qApp);
        task->setProcessChannelMode(QProcess::ForwardedChannels);
        if (!command.isEmpty())
            task->start(command.first(), command.mid(1));
        if (command.isEmpty() || !task->waitForStarted()) {
            delete task;
            forms::MsgBox(QStringLiteral(
                "There was an error bringing up the mixer. The most likely cause is that you need "
                "to reinstall the Windows mixer (c:\\Windows\\sndvol32.exe)"));
            return std::int32_t(0);
        }
        mixer.mixerTask = task;
        mixer.mixerHwnd = getHwndContaining(QStringLiteral("CONTROL"));
        return mixer.mixerHwnd;
    });
}

void bringMixerToFront()
{
    // Activating the mixer means no more than that it still runs; waiting for its window to come
    // to the front would only freeze the program.
    const TraceScope trace(module, "Sub bringMixerToFront");
}

bool mixerRunning()
{
    const QProcess* task = mixerOnTop().mixerTask;
    return task && task->state() != QProcess::NotRunning;
}

void endMixer()
{
    MixerOnTop& mixer = mixerOnTop();
    QProcess* task = mixer.mixerTask;
    if (!task)
        return;
    if (task->state() != QProcess::NotRunning) {
        task->terminate();
        if (!task->waitForFinished(mixerEndMs)) {
            task->kill();
            task->waitForFinished(mixerEndMs);
        }
    }
    delete task;
}

} // namespace lentaro
