#include "app/windowhelpers.h"

#include "app/mainwindowface.h"
#include "app/programstate.h"
#include "platform/forms/formregistry.h"
#include "trace/runtimeerror.h"
#include "trace/tracescope.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace lentaro {

namespace {

constexpr char module[] = "CdglobalIntl";

} // namespace

QPoint centeredPosition(const QRect& screen, const QSize& window)
{
    return {screen.left() + (screen.width() - window.width()) / 2,
            screen.top() + (screen.height() - window.height()) / 2};
}

void centerform(QWidget* f)
{
    TraceScope trace(module, "Sub centerform", {{"f", f ? f->objectName() : QString()}});
    trace.run([&] {
        if (!f)
            throw RuntimeError(91); // Object variable not set
        QScreen* screen = f->screen() ? f->screen() : QGuiApplication::primaryScreen();
        f->move(centeredPosition(screen->geometry(), f->frameGeometry().size()));
    });
}

void centerOver(QWidget& f, const QWidget& over)
{
    // A window nobody has sized yet takes its layout's size only when it is shown.
    if (!f.testAttribute(Qt::WA_Resized))
        f.adjustSize();
    const QSize frame = f.size() + over.frameGeometry().size() - over.size();
    f.move(centeredPosition(over.frameGeometry(), frame));
}

void enableMainWindow(bool enabled)
{
    mainWindowFace().setEnabled(enabled);
}

bool isLoaded(const QString& frmName)
{
    TraceScope trace(module, "Function isLoaded", {{"frmName", frmName}});
    return trace.run(false, [&] { return forms::loadedForm(frmName) != nullptr; });
}

void showHideTrackInfo(bool arf)
{
    TraceScope trace(module, "Sub showHideTrackInfo", {{"arf", arf}});
    trace.run([&] {
        if (arf && programState().gvSlowMode)
            return;
        using TrackInfo = MainWindowFace::TrackInfo;
        for (const TrackInfo control : {TrackInfo::lblTracks, TrackInfo::lblTrackComments,
                                        TrackInfo::Comments, TrackInfo::tgTracks})
            mainWindowFace().setTrackInfoVisible(control, arf);
    });
}

} // namespace lentaro
