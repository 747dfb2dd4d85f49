#include "app/messages.h"

#include "app/messageForm.h"
#include "app/messages2.h"
#include "app/windowhelpers.h"
#include "platform/forms/formregistry.h"
#include "trace/tracescope.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace lentaro {

namespace {

constexpr char module[] = "CdglobalIntl";
const QString off = QStringLiteral("off");

} // namespace

void Message(const QString& theString, const QString& newCaption)
{
    TraceScope trace(module, "Sub Message", {{"theString", theString}, {"newCaption", newCaption}});
    try {
        if (theString != off) {
            auto& window = forms::loadForm<messageForm>();
            window.setWindowTitle(newCaption);
            window.Label1->setText(theString);
            window.show();
        } else if (auto* window = forms::loadedFormOf<messageForm>()) {
            window->unload();
        }
        QCoreApplication::processEvents();
    } catch (...) {
        // The status window is a courtesy; nothing that fails here may stop the caller.
    }
}

void Message2(const QString& theString, const QString& theSource)
{
    TraceScope trace(module, "Sub Message2", {{"theString", theString}, {"theSource", theSource}});
    if (theString != off) {
        messages2* window = nullptr;
        try {
            window = &forms::loadForm<messages2>();
            window->show();
            window->source = theSource;
        } catch (...) {
        }
        // From here on a failure is the caller's to handle.
        if (window) {
            window->Label1->setText(theString);
            window->lblNoInterrupt->hide();
            window->btnCancel->show();
        }
    } else {
        if (auto* window = forms::loadedFormOf<messages2>())
            window->unload();
        enableMainWindow(true);
    }
    QCoreApplication::processEvents();
}

bool progressWindowShown()
{
    return forms::loadedFormOf<messages2>() != nullptr;
}

} // namespace lentaro
