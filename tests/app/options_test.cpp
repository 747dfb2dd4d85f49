#include "tests/app/window_fixture.h"

#include "tests/app/clicking.h"
#include "tests/app/traced_calls.h"

#include "app/frmHint.h"
#include "app/frmOptions.h"
#include "app/optionstargets.h"
#include "app/programstate.h"
#include "app/windowhelpers.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <string>

namespace lentaro::test {
namespace {

// Focus moves only inside the active window.
bool becameActive(QWidget& window)
{
    window.activateWindow();
    const QDeadlineTimer deadline(5000);
    while (QApplication::activeWindow() != &window && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return QApplication::activeWindow() == &window;
}

class RecordingOptionsTargets : public OptionsTargets
{
public:
    void CDsetup() override { ++cdSetups; }
    bool showMixer() override
    {
        ++mixersShown;
        return true;
    }
    void btnLoopPlay_Click() override { ++loopPlays; }
    void checkTooltips() override { tooltipsShown.push_back(programState().gvShowTooltips); }

    int cdSetups = 0;
    int mixersShown = 0;
    int loopPlays = 0;
    std::vector<bool> tooltipsShown;
};

// The preferences as start-up leaves them on a computer that reads CDs digitally, stored and
// in their variables.
class OptionsTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        targetsInPlace_.emplace(optionsTargets, targets_);
        resetPreferences();
    }

    void resetPreferences()
    {
        ProgramState& s = programState();
        s.gvDigitalRecordingOK = true;
        s.gvAutoSlow = true;
        s.gvRealtime = true;
        s.gvSoundQuality = 3;
        s.gvChannelToTransform = 1;
        s.gvPreviewEnd = false;
        s.gvShowTooltips = true;
        s.gvRecordMode = 1;
        s.gvAutomaticallySetRecordingMixer = true;
        s.gvRecordingDepth = 16;
        s.gvRecordingSampleRate = 44100;
        s.gvDeleteTempFiles = true;
        for (const auto& [name, text] : stored_)
            storePreferenceText(name, text);
    }

    void TearDown() override
    {
        targetsInPlace_.reset();
        WindowTest::TearDown();
    }

    std::string storedText(const QString& name) const
    {
        const auto value = storedPreference(name);
        return value ? value->bytes() : std::string("<missing>");
    }

    // Opens the dialog modally, lets `user` act on it and returns once it is gone.
    void openAndAct(const std::function<void(frmOptions&)>& user)
    {
        auto& dialog = forms::loadForm<frmOptions>();
        WhenModal answer([&](QWidget&) { user(dialog); });
        dialog.exec();
        ASSERT_TRUE(answer.acted());
        EXPECT_FALSE(isLoaded("frmOptions"));
    }

    const std::vector<std::pair<QString, std::string>> stored_{
        {"AutoSlow", "True"},        {"Realtime", "True"},
        {"SoundQuality", "3"},       {"ChannelToTransform", "1"},
        {"PreviewEnd", "False"},     {"ShowTooltips", "True"},
        {"RecordMode", "1"},         {"AutomaticallySetRecordingMixer", "True"},
        {"RecordingDepth", "16"},    {"RecordingSampleRate", "44100"},
        {"DeleteTempFiles", "True"},
    };
    RecordingOptionsTargets targets_;
    std::optional<ScopedOverride<OptionsTargets>> targetsInPlace_;
};

TEST_F(OptionsTest, OpenedOnTransformationWithTheVariablesShown)
{
    auto& dialog = forms::loadForm<frmOptions>();

    EXPECT_EQ(dialog.windowTitle(), "Options");
    EXPECT_EQ(dialog.tabOptions->tabText(dialog.tabOptions->currentIndex()), "Transformation");
    EXPECT_TRUE(dialog.chkAutoSlow->isChecked());
    EXPECT_FALSE(dialog.chkPreviewEnd->isChecked());
    EXPECT_TRUE(dialog.optSoundQuality[3]->isChecked());
    EXPECT_TRUE(dialog.optChannelToTransform[1]->isChecked());
    EXPECT_TRUE(dialog.optRecordMode[1]->isChecked());
    EXPECT_EQ(dialog.cboRecordingSampleRate->currentText(), "44100");
    EXPECT_EQ(dialog.cboRecordingDepth->currentText(), "16");
    EXPECT_TRUE(dialog.fraChannelsToTransform->isEnabled());
    EXPECT_FALSE(dialog.fraAnalogRecordingOptions->isEnabled());
    EXPECT_TRUE(dialog.cmdASPIInstall->isHidden());
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(OptionsTest, OpenAndCloseWithoutAChangeKeepsEveryStoredPreference)
{
    openAndAct([](frmOptions& dialog) { dialog.Command4->click(); });

    for (const auto& [name, text] : stored_)
        EXPECT_EQ(storedText(name), text) << name.toStdString();
    EXPECT_EQ(targets_.tooltipsShown.size(), 0u);
}

TEST_F(OptionsTest, OpeningWhileAnalogStoresBothChannels)
{
    programState().gvRecordMode = 2;
    storePreferenceText("RecordMode", "2");

    auto& dialog = forms::loadForm<frmOptions>();

    EXPECT_TRUE(dialog.optChannelToTransform[0]->isChecked());
    EXPECT_EQ(storedText("ChannelToTransform"), "0");
    EXPECT_EQ(programState().gvChannelToTransform, 0);
    EXPECT_EQ(storedText("RecordMode"), "2");
}

// The two channel options keep the engine's numbering: n takes the n-th sample of a frame, and
// a wave file's first sample is its left channel.
TEST_F(OptionsTest, EachChannelOptionIsCaptionedForTheSampleItStores)
{
    auto& dialog = forms::loadForm<frmOptions>();

    EXPECT_EQ(dialog.optChannelToTransform[0]->text(), "Both Channels");
    EXPECT_EQ(dialog.optChannelToTransform[1]->text(), "Left Channel Only");
    EXPECT_EQ(dialog.optChannelToTransform[2]->text(), "Right Channel Only");
    dialog.optChannelToTransform[2]->click();
    EXPECT_EQ(storedText("ChannelToTransform"), "2");
    dialog.optChannelToTransform[1]->click();
    EXPECT_EQ(storedText("ChannelToTransform"), "1");
}

TEST_F(OptionsTest, EachControlStoresItsPreferenceAtOnce)
{
    struct Case {
        const char* control;
        std::function<QAbstractButton*(frmOptions&)> button;
        QString preference;
        std::string storedText;
    };
    const Case cases[] = {
        {"chkAutoSlow", [](frmOptions& d) { return d.chkAutoSlow; }, "AutoSlow", "False"},
        {"chkRealtime", [](frmOptions& d) { return d.chkRealtime; }, "Realtime", "False"},
        {"chkPreviewEnd", [](frmOptions& d) { return d.chkPreviewEnd; }, "PreviewEnd", "True"},
        {"chkShowTooltips", [](frmOptions& d) { return d.chkShowTooltips; }, "ShowTooltips",
         "False"},
        {"chkDeleteTempFiles", [](frmOptions& d) { return d.chkDeleteTempFiles; },
         "DeleteTempFiles", "False"},
        {"chkAutomaticallySetRecordingMixer",
         [](frmOptions& d) {
             d.optRecordMode[2]->click(); // its frame is enabled for analog recording only
             return d.chkAutomaticallySetRecordingMixer;
         },
         "AutomaticallySetRecordingMixer", "False"},
        {"optSoundQuality(1)", [](frmOptions& d) { return d.optSoundQuality[1]; }, "SoundQuality",
         "1"},
        {"optSoundQuality(2)", [](frmOptions& d) { return d.optSoundQuality[2]; }, "SoundQuality",
         "2"},
        {"optChannelToTransform(0)", [](frmOptions& d) { return d.optChannelToTransform[0]; },
         "ChannelToTransform", "0"},
        {"optRecordMode(2)", [](frmOptions& d) { return d.optRecordMode[2]; }, "RecordMode", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        auto& dialog = forms::loadForm<frmOptions>();
        c.button(dialog)->click();
        EXPECT_EQ(storedText(c.preference), c.storedText);
        dialog.unload();
        deleteUnloaded();
        resetPreferences();
    }
}

TEST_F(OptionsTest, ShowTooltipsSwitchesTheMainWindowsTooltipsAtOnce)
{
    auto& dialog = forms::loadForm<frmOptions>();
    dialog.chkShowTooltips->click();
    dialog.chkShowTooltips->click();

    EXPECT_EQ(targets_.tooltipsShown, (std::vector<bool>{false, true}));
}

TEST_F(OptionsTest, AnalogEnablesItsFrameAtOnceAndDisablesTheChannelsWhenTransformationShows)
{
    auto& dialog = forms::loadForm<frmOptions>();
    dialog.tabOptions->setCurrentIndex(3);
    dialog.optRecordMode[2]->click();

    EXPECT_TRUE(dialog.fraAnalogRecordingOptions->isEnabled());
    EXPECT_TRUE(dialog.optChannelToTransform[0]->isChecked());
    EXPECT_EQ(storedText("ChannelToTransform"), "0");
    EXPECT_TRUE(dialog.fraChannelsToTransform->isEnabled());
    dialog.tabOptions->setCurrentIndex(0);
    EXPECT_FALSE(dialog.fraChannelsToTransform->isEnabled());
}

TEST_F(OptionsTest, WithoutDigitalReadingDigitalCannotBeChosen)
{
    programState().gvDigitalRecordingOK = false;
    auto& dialog = forms::loadForm<frmOptions>();
    dialog.tabOptions->setCurrentIndex(3);

    EXPECT_FALSE(dialog.optRecordMode[1]->isEnabled());
    EXPECT_TRUE(dialog.cmdASPIInstall->isHidden());
}

// The recording rate and depth become the recording's format and the waveform view's samples
// per millisecond: only a listed value is taken.
TEST_F(OptionsTest, ACombosTextIsStoredOnlyAsAListedNumber)
{
    struct Case {
        const char* name;
        bool sampleRate; // else the depth
        QString text;
        bool closeWithAltC; // else a click, which moves the focus to Close first
        std::string stored;
        int samplesPerMsAfter; // 0: not checked
    };
    const Case cases[] = {
        {"picked rate, mouse", true, "22050", false, "22050", 22},
        {"picked rate, Alt+C", true, "11025", true, "11025", 11},
        {"rate with a tail", true, "22050abc", false, "22050", 22},
        {"rate not listed", true, "12345", false, "44100", 44},
        {"rate without a number", true, "abc", true, "44100", 44},
        {"picked depth, Alt+C", false, "8", true, "8", 0},
        {"depth not listed", false, "24", false, "16", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        programState().gvRecordMode = 2;
        programState().gvRecordingSampleRate = 44100;
        programState().gvSamplesPerMs = 44.1f;
        programState().gvRecordingDepth = 16;
        storePreferenceText("RecordingSampleRate", "44100");
        storePreferenceText("RecordingDepth", "16");
        QString shownAtClose;
        openAndAct([&](frmOptions& dialog) {
            dialog.tabOptions->setCurrentIndex(3);
            QComboBox* box =
                c.sampleRate ? dialog.cboRecordingSampleRate : dialog.cboRecordingDepth;
            EXPECT_TRUE(becameActive(dialog));
            box->setFocus();
            EXPECT_TRUE(box->hasFocus());
            box->setEditText(c.text);
            if (!c.closeWithAltC) {
                dialog.Command4->setFocus();
                shownAtClose = box->currentText();
            }
            dialog.Command4->click();
        });
        const QString pref = c.sampleRate ? "RecordingSampleRate" : "RecordingDepth";
        EXPECT_EQ(storedText(pref), c.stored);
        if (!c.closeWithAltC) {
            EXPECT_EQ(shownAtClose.toStdString(), c.stored);
        }
        if (c.samplesPerMsAfter) {
            EXPECT_EQ(int(programState().gvSamplesPerMs), c.samplesPerMsAfter);
        }
    }
}

TEST_F(OptionsTest, SwitchingRecordModeDerivesTheRecordingRateAgain)
{
    programState().gvRecordingSampleRate = 22050;
    programState().gvRecordingRate = 44100;
    auto& dialog = forms::loadForm<frmOptions>();

    dialog.optRecordMode[2]->click();
    EXPECT_EQ(programState().gvRecordingRate, 22050);
    dialog.optRecordMode[1]->click();
    EXPECT_EQ(programState().gvRecordingRate, 44100);
}

TEST_F(OptionsTest, CloseInSlowPlayWithRealtimeStartsANewPassOnce)
{
    struct Case {
        bool slowMode;
        bool realtime;
        bool newPass;
    };
    for (const Case c :
         {Case{true, true, true}, Case{true, false, false}, Case{false, true, false}}) {
        SCOPED_TRACE(testing::Message() << "slow " << c.slowMode << " realtime " << c.realtime);
        for (bool fromTitleBar : {false, true}) {
            programState().gvSlowMode = c.slowMode;
            programState().gvRealtime = c.realtime;
            programState().gvSlowedFileReady = true;
            targets_.loopPlays = 0;
            openAndAct([&](frmOptions& dialog) {
                if (fromTitleBar)
                    dialog.close();
                else
                    dialog.Command4->click();
            });
            EXPECT_EQ(targets_.loopPlays, c.newPass ? 1 : 0);
            EXPECT_EQ(programState().gvSlowedFileReady, !c.newPass);
        }
    }
}

TEST_F(OptionsTest, MoreInfoShowsTheImportantNoteEvenWhenSwitchedOff)
{
    storePreferenceText("importantNote", "False");
    bool hintShown = false;
    openAndAct([&](frmOptions& dialog) {
        WhenModal hint([&](QWidget& modal) {
            hintShown = dynamic_cast<frmHint*>(&modal) != nullptr;
            modal.close();
        });
        dialog.cmdMoreInfo->click();
        dialog.Command4->click();
    });
    EXPECT_TRUE(hintShown);
}

TEST_F(OptionsTest, TheRecordingMixerOpensOnlyAfterContinueOnItsHint)
{
    programState().gvRecordMode = 2; // the button sits among the analog options
    for (bool answerContinue : {false, true}) {
        targets_.mixersShown = 0;
        openAndAct([&](frmOptions& dialog) {
            WhenModal hint([&](QWidget& modal) {
                auto& window = dynamic_cast<frmHint&>(modal);
                (answerContinue ? window.cmdOK : window.cmdCancel)->click();
            });
            dialog.cmdShowRecordingMixer->click();
            dialog.Command4->click();
        });
        EXPECT_EQ(targets_.mixersShown, answerContinue ? 1 : 0);
    }
}

// Every control of the dialog, used as the user uses it, reaches its procedure: the tabs, check
// boxes, options and buttons clicked, the combo boxes left with Tab, and Escape.
TEST_F(OptionsTest, EveryControlReachesItsProcedure)
{
    TracedCalls calls(home());
    auto& d = forms::loadForm<frmOptions>();
    d.show();
    ASSERT_TRUE(becameActive(d));
    const auto onTab = [&](const char* tab, const std::function<void()>& then) {
        return [&d, tab, then] {
            if (readCaption(d.tabOptions->tabText(d.tabOptions->currentIndex())) != tab)
                clickTab(*d.tabOptions, QString::fromLatin1(tab));
            // The hints that two of the buttons show are answered at once.
            WhenModal hint([](QWidget& modal) { modal.close(); });
            then();
        };
    };
    const auto clicked = [&](const char* tab, QWidget* control) {
        return onTab(tab, [control] { click(control); });
    };
    const auto leftWithTab = [&](QWidget* box) {
        return onTab("Recording", [&d, box] {
            ASSERT_TRUE(becameActive(d));
            box->setFocus();
            ASSERT_TRUE(box->hasFocus());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        });
    };
    const auto tab = [&](const char* caption) {
        return [&d, caption] { clickTab(*d.tabOptions, QString::fromLatin1(caption)); };
    };
    const QString in = QStringLiteral("frmOptions : Sub ");
    const auto option = [&](const char* procedure, int index) {
        return in + QLatin1String(procedure) + QStringLiteral(" : (Index=%1)").arg(index);
    };
    walk(
        calls,
        {
            {"tab Interface", tab("Interface"), in + "tabOptions_Click"},
            {"tab CD", tab("CD"), in + "tabOptions_Click"},
            {"tab Transformation", tab("Transformation"), in + "tabOptions_Click"},
            {"Automatic Transformation", clicked("Transformation", d.chkAutoSlow),
             in + "chkAutoSlow_Click"},
            {"Transform in Real-Time", clicked("Transformation", d.chkRealtime),
             in + "chkRealtime_Click"},
            {"Good", clicked("Transformation", d.optSoundQuality[1]),
             option("optSoundQuality_Click", 1)},
            {"Better", clicked("Transformation", d.optSoundQuality[2]),
             option("optSoundQuality_Click", 2)},
            {"Best", clicked("Transformation", d.optSoundQuality[3]),
             option("optSoundQuality_Click", 3)},
            {"Both Channels", clicked("Transformation", d.optChannelToTransform[0]),
             option("optChannelToTransform_Click", 0)},
            {"Left Channel Only", clicked("Transformation", d.optChannelToTransform[2]),
             option("optChannelToTransform_Click", 2)},
            {"Right Channel Only", clicked("Transformation", d.optChannelToTransform[1]),
             option("optChannelToTransform_Click", 1)},
            {"More info...", clicked("Transformation", d.cmdMoreInfo), in + "cmdMoreInfo_Click"},
            {"Preview End First", clicked("Interface", d.chkPreviewEnd),
             in + "chkPreviewEnd_Click"},
            {"Show Tooltips", clicked("Interface", d.chkShowTooltips),
             in + "chkShowTooltips_Click"},
            {"Choose/Change CD Drive", clicked("CD", d.cmdChangeCD), in + "cmdChangeCD_Click"},
            {"tab Recording", tab("Recording"), in + "tabOptions_Click"},
            {"Analog", clicked("Recording", d.optRecordMode[2]), option("optRecordMode_Click", 2)},
            {"Samples Per Second left", leftWithTab(d.cboRecordingSampleRate),
             in + "cboRecordingSampleRate_LostFocus"},
            {"Bits Per Sample left", leftWithTab(d.cboRecordingDepth),
             in + "cboRecordingDepth_LostFocus"},
            {"Set Recording Mixer Automatically",
             clicked("Recording", d.chkAutomaticallySetRecordingMixer),
             in + "chkAutomaticallySetRecordingMixer_Click"},
            {"Show Recording Mixer", clicked("Recording", d.cmdShowRecordingMixer),
             in + "cmdShowRecordingMixer_Click"},
            {"Delete temporary files", clicked("Recording", d.chkDeleteTempFiles),
             in + "chkDeleteTempFiles_Click"},
            {"Digital", clicked("Recording", d.optRecordMode[1]), option("optRecordMode_Click", 1)},
            {"Close", clicked("Recording", d.Command4), in + "Command4_Click",
             [] { return !isLoaded("frmOptions"); }},
        });
    deleteUnloaded();

    auto& again = forms::loadForm<frmOptions>();
    again.show();
    walk(calls, {{"Escape", [&again] { QTest::keyClick(&again, Qt::Key_Escape); },
                  in + "Command4_Click", [] { return !isLoaded("frmOptions"); }}});
    EXPECT_EQ(calls.lastError().number, 0) << calls.lastError().description.toStdString();
}

TEST_F(OptionsTest, ChangeCdDriveAsksTheCdSide)
{
    auto& dialog = forms::loadForm<frmOptions>();
    dialog.cmdChangeCD->click();
    EXPECT_EQ(targets_.cdSetups, 1);
}

} // namespace
} // namespace lentaro::test
