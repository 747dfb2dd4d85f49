// A picture of the waveform view for a person to look at: a click train at 120 beats per minute,
// a selection of four beats, the grid aligned to it with its half beats, and the play line.
// Usage: waveview_screenshot <picture.png>. scripts/waveview-screenshot.sh runs it under a
// virtual X server.

#include "controls/wgrid2/wGrid2.h"
#include "platform/forms/scriptedprompts.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"

#include "app/programstate.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    using namespace lentaro;
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s <picture.png>\n", argv[0]);
        return 2;
    }
    QTemporaryDir home;
    QTemporaryDir registry;
    qputenv("LENTARO_HOME", home.path().toUtf8());
    qputenv("LENTARO_REGISTRY_DIR", registry.path().toUtf8());
    QApplication app(argc, argv);
    forms::ScriptedPrompts prompts;
    const ScopedOverride<forms::PromptService> promptsInPlace(forms::prompts, prompts);
    programState().gvGraphStep = 20;
    programState().gvSamplesPerMs = 44.1f;

    test::writeClickTrain(home.filePath(QStringLiteral("temp.wav")), {44100, 1, 2, false}, 6.0,
                          20480, 500);
    test::RecordingHost host;
    auto* view = new frmScrollTime(host);
    view->resize(1200, 500);
    QApplication::processEvents();
    view->selection.startMarker.setMsPosition(1000);
    view->selection.endMarker.setMsPosition(3000);
    prompts.queueInput(QStringLiteral("4"));
    view->mnuAlignGridToSelection_Click();
    if (!view->wGrid21->HalvesVisible())
        view->mnuRulers_Click(2);
    view->playPosition.setMsPosition(2250);
    view->playPosition.Show();
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
    const bool saved = view->grab().save(QString::fromLocal8Bit(argv[1]));
    view->unload();
    if (!saved) {
        std::fprintf(stderr, "Could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
