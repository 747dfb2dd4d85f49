#include "trace/disabledwindows.h"

#include <QApplication>

namespace lentaro {

DisabledWindows::DisabledWindows()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        // WA_ForceDisabled is the window's own setting, not one inherited from a parent window.
        if (!window->testAttribute(Qt::WA_ForceDisabled))
            toEnable_.emplace_back(window);
        window->setEnabled(false);
    }
}

DisabledWindows::~DisabledWindows()
{
    for (const QPointer<QWidget>& window : toEnable_) {
        if (window)
            window->setEnabled(true);
    }
}

} // namespace lentaro
