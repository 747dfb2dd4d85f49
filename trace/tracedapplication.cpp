#include "trace/tracedapplication.h"

#include "trace/debugger.h"
#include "trace/traceruntime.h"

#include <QMetaEnum>

namespace lentaro {

namespace {

// "Event MouseButtonPress", or the number of an event type without a name.
QString eventName(QEvent::Type type)
{
    const char* key = QMetaEnum::fromType<QEvent::Type>().valueToKey(type);
    return QStringLiteral("Event ")
           + (key ? QString::fromLatin1(key) : QString::number(static_cast<int>(type)));
}

} // namespace

TracedApplication::TracedApplication(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool TracedApplication::notify(QObject* receiver, QEvent* event)
{
    // Taken before delivery, cheaply: the handler may delete the receiver.
    const char* const className = receiver->metaObject()->className();
    const QEvent::Type type = event->type();
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (sxERROR(QString::fromLatin1(className), eventName(type)) == ErrorChoice::BreakTo)
            breakIntoDebugger();
        return false;
    }
}

} // namespace lentaro
