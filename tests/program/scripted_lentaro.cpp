// The program as bin/lentaro runs it, for tests that start it as a process of its own: its own
// start and exit, with every message box answered as pressing Enter would answer it. What the
// person would see goes to standard output as it happens, one line each, so a test reads it
// however the process ends:
//   box: <the box's text, line breaks as \n>
//   shown: <a top-level window's object name>
//   hidden: <a top-level window's object name>
#include "platform/forms/scriptedprompts.h"
#include "program/startlentaro.h"
#include "trace/tracedapplication.h"

#include <QEvent>
#include <QWidget>

#include <cstdio>

namespace {

void tell(const char* what, const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    std::printf("%s: %s\n", what, line.toUtf8().constData());
    std::fflush(stdout);
}

class ToldPrompts : public lentaro::forms::ScriptedPrompts
{
public:
    lentaro::forms::Answer messageBox(const lentaro::forms::MessageBoxRequest& request) override
    {
        tell("box", request.text);
        return ScriptedPrompts::messageBox(request);
    }
};

class ToldWindows : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool shown = event->type() == QEvent::Show;
        if (shown || event->type() == QEvent::Hide) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow() && !widget->objectName().isEmpty())
                tell(shown ? "shown" : "hidden", widget->objectName());
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    lentaro::TracedApplication application(argc, argv);
    ToldWindows windows;
    application.installEventFilter(&windows);
    ToldPrompts prompts;
    const lentaro::ScopedOverride promptsInPlace(lentaro::forms::prompts, prompts);
    return lentaro::startLentaro(argc, argv);
}
