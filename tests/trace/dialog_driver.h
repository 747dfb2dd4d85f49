#pragma once

#include "trace/frmSENTRIX.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace lentaro::test {

// Runs `drive` on the modal error dialog as soon as it is up. A dialog the driver leaves open
// is closed (and the test fails), so no test waits for a person.
inline void whenDialogIsUp(std::function<void(frmSENTRIX&)> drive)
{
    QTimer::singleShot(0, [drive = std::move(drive)] {
        auto* dialog = qobject_cast<frmSENTRIX*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal error dialog is up";
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* stray = qobject_cast<frmSENTRIX*>(widget))
                    stray->done(0);
            }
            return;
        }
        drive(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the driver left the error dialog open";
            dialog->done(0);
        }
    });
}

template <typename Widget>
Widget* part(const frmSENTRIX& dialog, const char* name)
{
    auto* widget = dialog.findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

} // namespace lentaro::test
