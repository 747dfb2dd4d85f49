// A picture of the waveform view for a person to look at: a 10 s loop of a click track at 120
// beats per minute slowed to 50 %, Select All, the grid aligned to it over 20 beats with its half
// beats, the play line, and the tempo box the view opens, as the screen shows them.
// Usage: waveview_screenshot <picture.png>. scripts/waveview-screenshot.sh runs it under a
// virtual X server.

#include "controls/wgrid2/wGrid2.h"
#include "platform/forms/qtprompts.h"
#include "platform/forms/scriptedprompts.h"
#include "tests/app/clicking.h"
#include "tests/waveview/wave_view_fixture.h"
#include "waveview/frmScrollTime.h"

#include "app/programstate.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

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
    forms::ScriptedPrompts scripted;
    std::optional<ScopedOverride<forms::PromptService>> promptsInPlace;
    promptsInPlace.emplace(forms::prompts, scripted);
    programState().gvGraphStep = 20;
    programState().gvSamplesPerMs = 44.1f;

    test::writeClickTrain(home.filePath(QStringLiteral("temp.wav")), {44100, 1, 2, false}, 10.0,
                          20480, 500);
    test::RecordingHost host;
    host.factor = 2.0; // mono at 50 %
    host.percent = 50;
    host.length = 20000;
    auto* view = new frmScrollTime(host);
    view->setGeometry(100, 100, 1200, 500);
    QApplication::processEvents();
    test::choose(*view, {QStringLiteral("Options"), QStringLiteral("Select All")});
    scripted.queueInput(QStringLiteral("20"));
    test::choose(*view, {QStringLiteral("Glissom"), QStringLiteral("Align Grid To Selection")});
    if (!view->wGrid21->HalvesVisible())
        test::choose(*view, {QStringLiteral("Glissom"), QStringLiteral("Select Rulers"),
                             QStringLiteral("Eighth notes")});
    view->playPosition.setMsPosition(4500);
    view->playPosition.Show();

    // The tempo box as the program shows it; the picture is taken while it is up.
    forms::QtPromptService qtBoxes;
    promptsInPlace.emplace(forms::prompts, qtBoxes);
    bool saved = false;
    QTimer look;
    look.setInterval(200);
    int waited = 0;
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box && ++waited < 50)
            return;
        look.stop();
        QApplication::processEvents();
        saved = view->screen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1]));
        if (box)
            box->accept();
    });
    look.start();
    test::choose(*view, {QStringLiteral("Glissom"), QStringLiteral("Beats Per Minute...")});
    view->unload();
    if (!saved) {
        std::fprintf(stderr, "Could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
