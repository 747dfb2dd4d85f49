#include "tests/mainwindow/main_window_fixture.h"

#include "app/frmHint.h"
#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "mainwindow/tmstext.h"
#include "tests/support/stand_in_sides.h"
#include "trace/runtimeerror.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFile>
#include <QPointer>
#include <QPushButton>

namespace lentaro::test {

namespace {

class RecordingLoops : public LoopSide
{
public:
    RecordingLoops(frmMain& main, SideCalls& log) : main_(main), log_(log) {}
    void stopDLL() override { log_.calls << "stopDLL"; }
    void mnuChooseView_Click(int index) override
    {
        log_.calls << QStringLiteral("mnuChooseView_Click %1").arg(index);
        if (!main_.state().cdView)
            main_.changeToMode(QStringLiteral("CD"));
        main_.state().setCurrentView(index);
    }
    void showLoopDetails() override { log_.calls << "showLoopDetails"; }
    void resetLastPass() override { log_.calls << "resetLastPass"; }
    void tmrLoopDLL_Timer() override { log_.calls << "tmrLoopDLL_Timer"; }
    bool latestPassEnded(std::int32_t) override { return true; }
    bool passRunning() const override { return false; }
    void btnLoopPlay_Click() override { log_.calls << "btnLoopPlay_Click"; }
    void playLoop(bool recalc) override
    {
        log_.calls << (recalc ? "playLoop(True)" : "playLoop(False)");
    }
    void highlightLoopPoint() override {}
    void playFromLoopOn() override { log_.calls << "playFromLoopOn"; }
    void saveSlowedDownFile() override { log_.calls << "saveSlowedDownFile"; }
    void changeTransformParameters() override
    {
        log_.calls
            << QStringLiteral("changeTransformParameters %1").arg(main_.state().slowDownPercent());
    }
    bool trimOpen() const override { return false; }
    void setTrimZoomEnabled(bool) override {}
    void closeTrim() override {}
    void saveLyrics() override { log_.record("saveLyrics"); }

private:
    frmMain& main_;
    SideCalls& log_;
};

class RecordingCd : public CdSide
{
public:
    RecordingCd(frmMain& main, SideCalls& log) : main_(main), log_(log) {}
    void autoplay(bool giveBack) override
    {
        log_.calls << (giveBack ? "autoplay(True)" : "autoplay(False)");
    }
    void CDandRecordingSetup() override
    {
        log_.calls << "CDandRecordingSetup";
        log_.hiddenDuringLoad = main_.isHidden();
        log_.enabledDuringLoad = main_.isEnabled();
    }
    int driveCount() override
    {
        log_.calls << "driveCount";
        return 0;
    }
    void startupDriveCheck() override { log_.calls << "startupDriveCheck"; }
    void checkCDPresent() override { log_.record("checkCDPresent"); }
    void refreshDisplayForNewCD() override { log_.calls << "refreshDisplayForNewCD"; }
    void trayOpen() override { log_.calls << "trayOpen"; }
    void trayClose() override { log_.calls << "trayClose"; }
    void stopDigitalRead() override { log_.calls << "stopDigitalRead"; }
    QString toTMS(int position) override { return tmsText(position); }
    bool trackHighlighting() override { return false; }
    void switchToTrack(int track) override
    {
        log_.calls << QStringLiteral("switchToTrack %1").arg(track);
    }
    void CDsetup() override { log_.record("CDsetup"); }
    bool showMixer() override
    {
        log_.calls << "showMixer";
        return false;
    }
    void showMp3Conversion() override { log_.record("showMp3Conversion"); }
    void showRecorder() override { log_.record("showRecorder"); }

private:
    frmMain& main_;
    SideCalls& log_;
};

class RecordingWaveView : public WaveViewSide
{
public:
    RecordingWaveView(frmMain& main, SideCalls& log) : main_(main), log_(log) {}
    bool isOpen() const override
    {
        if (log_.waveViewOpenFails)
            throw RuntimeError(91,
                               QStringLiteral("Object variable or With block variable not set"));
        return log_.waveViewOpen;
    }
    void loadOrShow() override {}
    void setEnabled(bool) override {}
    void close() override {}
    void mnuRefresh_Click() override {}
    void showPlayPosition(int) override {}
    void Form_KeyDown(int& key, int shift) override
    {
        log_.calls << QStringLiteral("waveView Form_KeyDown %1").arg(key);
        main_.Form_KeyDown(key, shift);
        if (log_.waveViewKeyFails)
            throw RuntimeError(5, QStringLiteral("Invalid procedure call or argument"));
        key = 0;
    }

private:
    frmMain& main_;
    SideCalls& log_;
};

} // namespace

void SideCalls::record(const QString& call)
{
    calls << call;
    if (const auto action = actions.find(call); action != actions.end())
        action->second();
}

MainWindowSides recordingSides(frmMain& main, SideCalls& log)
{
    MainWindowSides sides = standInSides(main);
    sides.loops = std::make_unique<RecordingLoops>(main, log);
    sides.cd = std::make_unique<RecordingCd>(main, log);
    sides.waveView = std::make_unique<RecordingWaveView>(main, log);
    return sides;
}

void MainWindowTest::SetUp()
{
    WindowTest::SetUp();
    copyShippedFiles();
}

void MainWindowTest::TearDown()
{
    if (main_) {
        QPointer<frmMain> main(main_);
        delete main;
    }
    deleteUnloaded();
    WindowTest::TearDown();
}

frmMain& MainWindowTest::load()
{
    main_ = new frmMain([this](frmMain& main) { return makeSides(main); });
    // The window deletes itself once closed; the test must not delete it again.
    QObject::connect(main_, &QObject::destroyed, [this] { main_ = nullptr; });
    return *main_;
}

bool MainWindowTest::runUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(10000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

frmMain& MainWindowTest::started()
{
    frmMain& main = load();
    WhenModal hint([](QWidget& modal) { dynamic_cast<frmHint&>(modal).cmdOK->click(); });
    EXPECT_TRUE(runUntil([&] { return !main.isHidden() && !programState().gvStartingUp; }));
    sides_.calls.clear();
    return main;
}

QString MainWindowTest::waveFile(const QString& name)
{
    writeFile(name, monoWave(QByteArray(8000 * 2, '\0'))); // one second
    return path(name);
}

} // namespace lentaro::test
