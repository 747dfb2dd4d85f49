#include "cd/recordreaderevents.h"

#include "app/messages.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "cd/cdsidehost.h"
#include "cd/cdsideloops.h"
#include "mainwindow/ignoringerrors.h"
#include "platform/cd/DigitalReader.h"
#include "platform/forms/prompts.h"
#include "platform/forms/screencursor.h"
#include "trace/tracescope.h"

#include <QLabel>

#include <utility>

namespace lentaro {

namespace {

constexpr char module[] = "main form";
// The reader's code for a read the user aborted.
constexpr int readAborted = 701;
constexpr int analogRecording = 2;

QString failureQuestion(int Errorcode, const QString& ErrorString)
{
    return QStringLiteral("The program was unable to digitally copy the requested audio to your "
                          "hard disk.\r\n\r\nThe process returned error code ")
           + QString::number(Errorcode) + QStringLiteral(": ") + ErrorString
           + QStringLiteral(". Usually, slowing down a loop or two in Analog mode clears this "
                            "condition. Otherwise, a system restart may be required..\r\n\r\n"
                            "Should I change the recording mode to analog?");
}

} // namespace

RecordReaderEvents::RecordReaderEvents(QLabel& pnlMsg, CdSideHost& host, CdSideLoops& loops,
                                       cd::DigitalReader& ACD1)
    : pnlMsg_(pnlMsg), host_(host), loops_(loops), ACD1_(ACD1)
{
    connect(&ACD1, &cd::DigitalReader::Failure, this,
            [this](int Errorcode, const QString& ErrorString) {
                ACD1_Failure(Errorcode, ErrorString);
            });
    connect(&ACD1, &cd::DigitalReader::ReadComplete, this, [this] { ACD1_ReadComplete(); });
}

void RecordReaderEvents::readEnded()
{
    if (const std::function<void()> action = std::exchange(readEnds_, nullptr))
        action();
}

void RecordReaderEvents::ACD1_Failure(int Errorcode, const QString& ErrorString)
{
    TraceScope trace(module, "Sub ACD1_Failure",
                     {{"Errorcode", Errorcode}, {"ErrorString", ErrorString}});
    trace.run([&] {
        readEnded();
        if (Errorcode == readAborted)
            return;
        Message2(QStringLiteral("off"));
        ACD1_.abort();
        if (forms::confirm(failureQuestion(Errorcode, ErrorString)))
            writePref(QStringLiteral("RecordMode"), programState().gvRecordMode, analogRecording);
        host_.changeToMode(QStringLiteral("CD"), false);
    });
}

void RecordReaderEvents::ACD1_ReadComplete()
{
    TraceScope trace(module, "Sub ACD1_ReadComplete");
    trace.run([&] {
        ignoringErrors([&] { readEnded(); });
        ignoringErrors([] { Message2(QStringLiteral("off")); });
        ignoringErrors([&] {
            pnlMsg_.setText(QStringLiteral("Done reading CD"));
            forms::setScreenMousePointer(Qt::ArrowCursor);
        });
        ignoringErrors([&] {
            const ProgramState& program = programState();
            if (program.gvSlowMode && program.gvAutoSlow)
                loops_.btnLoopPlay_Click();
        });
        ignoringErrors([] { enableMainWindow(true); });
    });
}

} // namespace lentaro
