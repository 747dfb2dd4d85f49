#include "tests/support/stand_in_sides.h"

#include "app/enginerunner.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "app/recordingsubprefs.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/tmstext.h"
#include "tests/support/named_control.h"

namespace lentaro {

namespace {

class StandInLoops : public LoopSide
{
public:
    StandInLoops(frmMain& main, TaggedTimer& passTimer) : main_(main), passTimer_(passTimer) {}

    void stopDLL() override
    {
        passTimer_.Tag = QStringLiteral("STOP");
        passTimer_.stop();
        engineRunner().stop();
    }
    void mnuChooseView_Click(int index) override
    {
        if (!main_.state().cdView)
            main_.changeToMode(QStringLiteral("CD"));
        main_.state().setCurrentView(index);
    }
    void showLoopDetails() override {}
    void resetLastPass() override {}
    void tmrLoopDLL_Timer() override { passTimer_.stop(); }
    bool latestPassEnded(std::int32_t) override { return true; }
    bool passRunning() const override { return false; }
    void btnLoopPlay_Click() override {}
    void playLoop(bool) override {}
    void highlightLoopPoint() override {}
    void playFromLoopOn() override {}
    void saveSlowedDownFile() override {}
    void changeTransformParameters() override {}
    bool trimOpen() const override { return false; }
    void setTrimZoomEnabled(bool) override {}
    void closeTrim() override {}
    void saveLyrics() override {}

private:
    frmMain& main_;
    TaggedTimer& passTimer_;
};

class StandInWaveView : public WaveViewSide
{
public:
    bool isOpen() const override { return false; }
    void loadOrShow() override {}
    void setEnabled(bool) override {}
    void close() override {}
    void mnuRefresh_Click() override {}
    void showPlayPosition(int) override {}
    void Form_KeyDown(int&, int) override {}
};

} // namespace

void StandInCd::CDandRecordingSetup()
{
    ProgramState& program = programState();
    program.gvDigitalRecordingOK = false;
    readPref(QStringLiteral("RecordMode"), program.gvRecordMode, 2);
    readPref(QStringLiteral("ChannelToTransform"), program.gvChannelToTransform, 0);
    readPref(QStringLiteral("AutomaticallySetRecordingMixer"),
             program.gvAutomaticallySetRecordingMixer, true);
    readPref(QStringLiteral("RecordingDepth"), program.gvRecordingDepth, 16);
    readPref(QStringLiteral("RecordingSampleRate"), program.gvRecordingSampleRate, 44100);
    getRecordingSubPrefs();
}

QString StandInCd::toTMS(int position)
{
    return tmsText(position);
}

MainWindowSides standInSides(frmMain& main)
{
    MainWindowSides sides;
    sides.loops =
        std::make_unique<StandInLoops>(main, *test::control<TaggedTimer>(main, "tmrLoopDLL"));
    sides.cd = std::make_unique<StandInCd>();
    sides.waveView = std::make_unique<StandInWaveView>();
    return sides;
}

} // namespace lentaro
