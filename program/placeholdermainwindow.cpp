#include "program/placeholdermainwindow.h"

#include "app/exitprogram.h"
#include "app/frmAbout.h"
#include "app/messages.h"
#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "platform/forms/applicationtitle.h"
#include "platform/forms/formregistry.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

namespace lentaro {

namespace {

class PlaceholderMainWindow : public QMainWindow
{
public:
    PlaceholderMainWindow()
    {
        setObjectName(QStringLiteral("frmMain"));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(forms::applicationTitle());
        setCentralWidget(new QLabel(QStringLiteral("Lentaro"), this));
        resize(640, 480);
        forms::addLoadedForm(this);
        // After the splash has stood while the window loaded, as the main window's own timer.
        QTimer::singleShot(200, this, &PlaceholderMainWindow::finishStartUp);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        exitProgram();
        event->accept();
    }

private:
    void finishStartUp()
    {
        if (programState().gvExiting)
            return;
        // Shown first: closing the last visible window would end the event loop.
        show();
        if (isLoaded(QString::fromLatin1(frmAbout::formName)))
            forms::loadForm<frmAbout>().unload();
        Message(QStringLiteral("off"));
        programState().gvStartingUp = false;
    }
};

} // namespace

void loadPlaceholderMainWindow()
{
    new PlaceholderMainWindow;
}

} // namespace lentaro
