#include "tests/cd/cd_rig_fixture.h"

#include "app/programstate.h"
#include "cd/cddrivesetup.h"
#include "platform/mci/MMControl.h"
#include "platform/registry/Registry.h"
#include "platform/registry/Settings.h"

#include <gtest/gtest.h>

namespace lentaro::test {

namespace {

using cd::test::ImageSpec;
using forms::Answer;

const QString hearIt = QStringLiteral("Can you hear the CD playing?");
const QString lightOn =
    QStringLiteral("Does the light on the correct CD player indicate that the CD is playing?");
const QString removeOthers = QStringLiteral(
    "Please remove any audio CDs from any drives OTHER than the desired CD drive and press OK.");
const QString notConfigured =
    QStringLiteral("Lentaro did not succeed in configuring your CD drive for digital recording. "
                   "You will still be able to use analog recording.");

QString configured(int drive)
{
    return QStringLiteral("Configuration succeeded! (Device number of active CD drive is %1)")
        .arg(drive);
}

ImageSpec oneTrackDisc()
{
    return audioDisc(20);
}

// Four tracks, the first of them data.
ImageSpec dataFirstDisc()
{
    ImageSpec spec = fourTrackDisc();
    spec.tracks.front().data = true;
    return spec;
}

class CdDriveSetupTest : public CdRigTest
{
protected:
    void TearDown() override
    {
        setup_.reset();
        CdRigTest::TearDown();
    }

    CdDriveSetup& setup()
    {
        if (!setup_)
            setup_.emplace(*rig().CDControl, reader());
        return *setup_;
    }
    // A new start of the program: the set-up made afresh over the same settings.
    CdDriveSetup& restart()
    {
        setup_.reset();
        return setup();
    }

    QString stored(const QString& name)
    {
        const std::optional<registry::Value> value = storedPreference(name);
        return value ? QString::fromStdString(value->bytes()).remove(QChar(0))
                     : QStringLiteral("-");
    }
    QStringList boxes()
    {
        QStringList texts;
        for (const forms::MessageBoxRequest& box : prompts_.messageBoxes())
            texts << box.text;
        return texts;
    }
    bool cdPlaying() { return rig().CDControl->mode() == static_cast<int>(mci::Mode::Playing); }

    std::optional<CdDriveSetup> setup_;
};

TEST_F(CdDriveSetupTest, RecordModeFollowsWhetherDigitalReadingWorks)
{
    struct Case {
        bool digitalOK;
        const char* recordMode; // stored before; "" for none
        const char* channel;
        int gvRecordMode;
        const char* storedMode;
        const char* storedChannel;
    };
    const Case cases[] = {
        {true, "", "", 1, "1", "0"},    {true, "1", "2", 1, "1", "2"},
        {true, "2", "1", 2, "2", "1"},  {false, "", "", 2, "1", "0"},
        {false, "1", "2", 2, "1", "0"}, {false, "2", "1", 2, "2", "0"},
    };
    useDiscs({fourTrackDisc()});
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.digitalOK << " mode " << c.recordMode << " channel " << c.channel);
        for (const auto& [name, value] :
             {std::pair{"RecordMode", c.recordMode}, std::pair{"ChannelToTransform", c.channel}}) {
            if (*value)
                storePreferenceText(QString::fromLatin1(name), value);
            else
                registry::deleteValue(registry::RootKey::CurrentUser,
                                      "Software\\VB and VBA Program Settings\\Lentaro\\Preferences",
                                      name);
        }
        setup().RecordModeSet(c.digitalOK);
        EXPECT_EQ(programState().gvRecordMode, c.gvRecordMode);
        EXPECT_EQ(stored("RecordMode"), QString::fromLatin1(c.storedMode));
        EXPECT_EQ(stored("ChannelToTransform"), QString::fromLatin1(c.storedChannel));
    }
}

TEST_F(CdDriveSetupTest, FirstRunWithOneDriveAsksNothing)
{
    useDiscs({fourTrackDisc()});
    setup().CDandRecordingSetup();
    EXPECT_TRUE(programState().gvDigitalRecordingOK);
    setup().startupDriveCheck();

    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(prompts_.inputBoxes().empty());
    EXPECT_EQ(stored("digCDNum"), QStringLiteral("1"));
    EXPECT_EQ(stored("MCI CD letter"), QStringLiteral("D"));
    EXPECT_EQ(rig().CDControl->fileName(), QStringLiteral("D:"));
}

TEST_F(CdDriveSetupTest, OnlyTheFirstRunChoosesTheDrive)
{
    useDiscs({fourTrackDisc(), oneTrackDisc()});
    storePreferenceText("MCI CD letter", "E");
    setup().CDandRecordingSetup();
    setup().startupDriveCheck(); // two drives, but the letter was chosen before
    EXPECT_TRUE(prompts_.inputBoxes().empty());
    EXPECT_EQ(rig().CDControl->fileName(), QStringLiteral("E:"));

    // A letter stored by this start's own reading does not make the next start a first run.
    registry::deleteValue(registry::RootKey::CurrentUser,
                          "Software\\VB and VBA Program Settings\\Lentaro\\Preferences",
                          "MCI CD letter");
    restart().CDandRecordingSetup();
    EXPECT_EQ(stored("MCI CD letter"), QStringLiteral("D"));
    prompts_.queueInput(std::nullopt);
    setup().startupDriveCheck();
    EXPECT_EQ(prompts_.inputBoxes().size(), 1u);
    restart().CDandRecordingSetup();
    setup().startupDriveCheck();
    EXPECT_EQ(prompts_.inputBoxes().size(), 1u);
}

TEST_F(CdDriveSetupTest, ChoosingTheDriveWithTwoDrives)
{
    struct Case {
        const char* name;
        std::vector<std::optional<QString>> inputs;
        std::vector<Answer> answers;
        QString letterStored;  // "-" when nothing is stored
        QStringList lastBoxes; // the message boxes' texts at the end
        bool ejectE = false;
    };
    const QString wrongLetter = QStringLiteral(
        "The most likely problem is that the wrong CD drive letter has been entered. The program "
        "detects the following CD drive letter(s): DE.\r\n\r\nIf your drive letter isn't on that "
        "list, please check the Control Panel/Multimedia/CD Audio section to make sure your drive "
        "letter appears there.\r\n\r\nWe suggest you close any open audio applications and try "
        "again.");
    const QString mixer = QStringLiteral(
        "The problem is most probably that CD audio is not turned up in your audio mixer. "
        "Double-click the speaker icon in the taskbar to bring up the mixer, or visit "
        "https://lentaro.org for more information on setting up the Windows mixer.");
    const QString noDisc = QStringLiteral("Is there a CD in the drive? I'm not detecting one.");
    const Case cases[] = {
        {"cancelled", {std::nullopt}, {}, "-", {}},
        {"bad letter, then d, heard", {"x", "d"}, {Answer::Yes}, "D", {hearIt, configured(1)}},
        {"bad letter, then cancelled", {"x", std::nullopt}, {}, "-", {}},
        {"not heard, light off",
         {"D"},
         {Answer::No, Answer::No},
         "-",
         {hearIt, lightOn, wrongLetter}},
        {"not heard, light on", {"D"}, {Answer::No, Answer::Yes}, "-", {hearIt, lightOn, mixer}},
        {"empty drive, retry, cancel",
         {"e"},
         {Answer::Retry, Answer::Cancel},
         "-",
         {noDisc, noDisc},
         true},
    };
    useDiscs({fourTrackDisc(), oneTrackDisc()});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.ejectE)
            eject('E');
        storePreferenceText("MCI CD letter", "-");
        programState().gvDigitalRecordingOK = true;
        const std::size_t boxesBefore = prompts_.messageBoxes().size();
        const std::size_t inputsBefore = prompts_.inputBoxes().size();
        for (const std::optional<QString>& input : c.inputs)
            prompts_.queueInput(input);
        for (Answer answer : c.answers)
            prompts_.queueAnswer(answer);
        setup().CDsetup();

        EXPECT_EQ(prompts_.pendingAnswers(), 0u);
        EXPECT_EQ(stored("MCI CD letter"), c.letterStored);
        EXPECT_EQ(boxes().mid(int(boxesBefore)), c.lastBoxes);
        const auto& inputs = prompts_.inputBoxes();
        ASSERT_GT(inputs.size(), inputsBefore);
        EXPECT_EQ(inputs[inputsBefore].prompt,
                  QStringLiteral("Please enter the letter of the drive used for CD audio, and put "
                                 "an audio CD in that drive. Available letters appear to be: DE"));
        EXPECT_EQ(inputs[inputsBefore].caption, QStringLiteral("Enter audio CD drive letter"));
        EXPECT_EQ(inputs[inputsBefore].defaultText, QStringLiteral("D"));
        if (c.inputs.size() > 1) {
            EXPECT_EQ(inputs[inputsBefore + 1].prompt,
                      QStringLiteral("That CD drive letter doesn't appear to work. Please enter a "
                                     "new one or press Cancel to quit."));
        }
        // The test play never goes on after the test.
        EXPECT_FALSE(cdPlaying());
        if (c.ejectE)
            insert('E');
    }
    EXPECT_EQ(stored("digCDNum"), QStringLiteral("1"));
}

TEST_F(CdDriveSetupTest, SameDiscInTwoDrivesEndsOnTheSecondProbe)
{
    struct Case {
        char tested;
        int chosen;
    };
    // D and E hold the same disc; F four tracks of which the first is data, so F never passes.
    for (const Case& c : {Case{'D', 1}, Case{'E', 2}, Case{'F', 1}}) {
        SCOPED_TRACE(c.tested);
        useDiscs({fourTrackDisc(), fourTrackDisc(), dataFirstDisc()});
        useDrive(c.tested);
        programState().gvDigitalRecordingOK = true;
        const int before = int(prompts_.messageBoxes().size());
        setup().setupACD();
        EXPECT_EQ(boxes().mid(before), (QStringList{removeOthers, configured(c.chosen)}));
        EXPECT_EQ(programState().gvDigCDNum, c.chosen);
        EXPECT_EQ(stored("digCDNum"), QString::number(c.chosen));
        TearDown();
        SetUp();
    }
}

TEST_F(CdDriveSetupTest, NoDriveAtAll)
{
    useDiscs({});
    setup().CDandRecordingSetup();
    EXPECT_FALSE(programState().gvDigitalRecordingOK);
    EXPECT_EQ(programState().gvRecordMode, 2);
    EXPECT_EQ(setup().driveCount(), 0);
    EXPECT_TRUE(boxes().isEmpty()); // no "ACD Error opening drive" at each start

    // No letters to offer: it says so instead, on the first run only.
    const QStringList noDrive{QStringLiteral("No CD drive was found. Once one is connected, "
                                             "choose it in Settings with \"Choose/Change CD "
                                             "Drive\".")};
    setup().startupDriveCheck();
    EXPECT_EQ(boxes(), noDrive);
    restart().CDandRecordingSetup();
    setup().startupDriveCheck();
    EXPECT_EQ(boxes(), noDrive);
    EXPECT_TRUE(prompts_.inputBoxes().empty());
}

TEST_F(CdDriveSetupTest, ConfiguredReaderDriveThatDoesNotOpenIsReported)
{
    useDiscs({fourTrackDisc()});
    storePreferenceText("digCDNum", "3");
    EXPECT_TRUE(setup().ASPIsetupOK()); // digital reading still counts as working
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes().front().startsWith("ACD Error opening drive 3"));
}

TEST_F(CdDriveSetupTest, ReaderCheckBringsDigitalReadingBack)
{
    useDiscs({fourTrackDisc()});
    programState().gvDigitalRecordingOK = false;
    storePreferenceText("RecordMode", "2");

    // The disc out: the check fails and says so; digital stays off.
    eject('D');
    EXPECT_FALSE(setup().installASPI(true));
    EXPECT_FALSE(programState().gvDigitalRecordingOK);
    EXPECT_EQ(boxes().last(), notConfigured);
    EXPECT_EQ(stored("RecordMode"), QStringLiteral("2"));

    insert('D');
    useDrive('D');
    EXPECT_TRUE(setup().installASPI(true));
    EXPECT_TRUE(programState().gvDigitalRecordingOK);
    EXPECT_EQ(boxes().last(), configured(1));
    EXPECT_EQ(stored("RecordMode"), QStringLiteral("1"));
    EXPECT_EQ(programState().gvRecordMode, 1);
    EXPECT_EQ(stored("faspi attempted"), QStringLiteral("Yes"));
    EXPECT_EQ(quits_, 0); // the program keeps running

    // Unforced, once attempted: the guard.
    EXPECT_FALSE(setup().installASPI(false));
    EXPECT_EQ(stored("digCDNum"), QStringLiteral("-1"));
    EXPECT_EQ(programState().gvDigCDNum, -1);
}

class AutoplayTest : public CdDriveSetupTest
{
protected:
    static constexpr const char* key = "SOFTWARE\\Classes\\AudioCD\\shell";

    void setVerb(const std::string& text)
    {
        ASSERT_TRUE(registry::createKey(registry::RootKey::LocalMachine, key).ok());
        ASSERT_TRUE(registry::setValue(registry::RootKey::LocalMachine, key, "",
                                       registry::Value::string(text))
                        .ok());
    }
    std::string verb()
    {
        registry::Value value;
        if (!registry::getValue(registry::RootKey::LocalMachine, key, "", value).ok())
            return "(none)";
        return value.text().value_or("(not text)");
    }
    static std::string saved()
    {
        return registry::getSetting("Lentaro", "Previous", "AutoplayString", "(none)");
    }
};

TEST_F(AutoplayTest, TakenOverWhileRunningAndGivenBackAtExit)
{
    struct Case {
        const char* name;
        std::string savedBefore; // "(none)" for nothing
        std::string verbAtStart;
        std::string savedAfterStart;
        std::string verbAtExit;
    };
    const std::string longVerb(150, 'p');
    const Case cases[] = {
        {"first start", "(none)", "  Play  ", "Play", "Play"},
        {"start after a crash", "Play", "", "Play", "Play"},
        {"emptied by the user", "(none)", "", "", ""},
        {"long verb read whole", "Old", longVerb, longVerb, longVerb},
    };
    useDiscs({fourTrackDisc()});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        registry::deleteSetting("Lentaro", "Previous");
        if (c.savedBefore != "(none)")
            registry::saveSetting("Lentaro", "Previous", "AutoplayString", c.savedBefore);
        setVerb(c.verbAtStart);
        setup().autoplay(false);
        EXPECT_EQ(verb(), "");
        EXPECT_EQ(saved(), c.savedAfterStart);
        setup().autoplay(true);
        EXPECT_EQ(verb(), c.verbAtExit);
    }
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(AutoplayTest, MissingKeyOrValue)
{
    useDiscs({fourTrackDisc()});
    setup().autoplay(false); // no key: nothing happens
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(saved(), "(none)");

    ASSERT_TRUE(registry::createKey(registry::RootKey::LocalMachine, key).ok());
    setup().autoplay(false); // a key without its value
    EXPECT_EQ(boxes(), QStringList{"Error 2"});
    EXPECT_EQ(saved(), "(none)");
    EXPECT_EQ(verb(), "(none)");
}

} // namespace

} // namespace lentaro::test
