#pragma once

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace lentaro {

// Shows `shape` as the application's pointer for its lifetime, whatever the program had set,
// when there is a screen to show it on.
class OverridePointer
{
public:
    explicit OverridePointer(Qt::CursorShape shape)
        : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (active_)
            QGuiApplication::setOverrideCursor(shape);
    }
    ~OverridePointer()
    {
        if (active_)
            QGuiApplication::restoreOverrideCursor();
    }

    OverridePointer(const OverridePointer&) = delete;
    OverridePointer& operator=(const OverridePointer&) = delete;

private:
    bool active_;
};

} // namespace lentaro
