#include "app/messages2.h"

#include "app/programstate.h"
#include "app/progresscancel.h"
#include "app/waveformviewface.h"
#include "app/windowhelpers.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screencursor.h"
#include "trace/tracescope.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lentaro {

namespace {

constexpr char module[] = "messages2";

const QString cancelDigitalReadQuestion =
    QStringLiteral("Due to the non-standard nature of computer-to-CD-ROM digital audio interfaces, "
                   "after cancelling this operation, ")
    + QStringLiteral("your computer may have to be restarted before digital recording will work "
                     "again.")
    + QStringLiteral("\n\n")
    + QStringLiteral("Click Yes to end the operation now; click No to continue waiting for the "
                     "operation to complete.");

} // namespace

messages2::messages2() : forms::Form(QString::fromLatin1(formName))
{
    setWindowTitle(QStringLiteral("Message from Lentaro"));
    setFixedSize(400, 170);

    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    lblNoInterrupt = new QLabel(
        QStringLiteral("The slowdown operation is not interruptible. If it is taking too long and "
                       "you must stop it, press Ctrl-Alt-Del and end Lentaro II."),
        this);
    lblNoInterrupt->setObjectName(QStringLiteral("lblNoInterrupt"));
    lblNoInterrupt->setWordWrap(true);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(QFont(QStringLiteral("Arial"), 10));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(lblNoInterrupt);
    layout->addWidget(btnCancel, 0, Qt::AlignHCenter);
    connect(btnCancel, &QPushButton::clicked, this, &messages2::btnCancel_Click);

    TraceScope trace(module, "Sub Form_Load");
    trace.run([&] {
        enableMainWindow(false);
        centerform(this);
        forms::setScreenMousePointer(Qt::ArrowCursor);
    });
}

void messages2::formUnload()
{
    TraceScope trace(module, "Sub Form_Unload", {{"Cancel", 0}});
    trace.run([&] {
        enableMainWindow(true);
        // The waveform view stays on top of the main window while it is open.
        waveformViewFace().bringBack();
    });
}

void messages2::btnCancel_Click()
{
    TraceScope trace(module, "Sub btnCancel_Click");
    trace.run([&] {
        ProgressCancelTargets& targets = progressCancelTargets();
        if (source == QLatin1String("ACD")) {
            if (!forms::confirm(cancelDigitalReadQuestion))
                return;
            targets.stopDigitalRead();
            enableMainWindow(true);
            programState().gvSlowMode = false;
            targets.changeToCDView();
        } else if (source == QLatin1String("KV")) {
            targets.stopEnginePass();
        }
        unload();
    });
}

} // namespace lentaro
