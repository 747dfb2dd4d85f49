#include "platform/mci/MMControl.h"

#include "tests/platform/mci/control_fixture.h"
#include "tests/platform/mci/fake_device.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace lentaro::mci::test {

namespace {

class MMControlTest : public ::testing::Test
{
protected:
    MMControlTest()
    {
        auto device = std::make_unique<FakeDevice>();
        fake = device.get();
        control.setDevice(std::move(device), QStringLiteral("Fake"));
    }

    void send(const QString& command) { control.setCommand(command); }

    MMControl control;
    FakeDevice* fake = nullptr;
    DoneLog dones{control};
};

TEST_F(MMControlTest, DoneComesFromTheEventLoopNeverFromInsideTheCommand)
{
    control.setNotify(true);
    send("Stop");
    EXPECT_TRUE(dones.codes.empty());
    drainEvents();
    EXPECT_EQ(dones.codes, (std::vector<int>{1}));
}

TEST_F(MMControlTest, NotificationsComeInCommandOrder)
{
    send("Play"); // notifies by default
    send("Play"); // supersedes the first
    control.setNotify(true);
    send("Stop"); // aborts the second, then reports itself
    drainEvents();
    EXPECT_EQ(dones.codes, (std::vector<int>{2, 4, 1}));
}

TEST_F(MMControlTest, WhoNotifiesFollowsNotifyAndTheCommand)
{
    struct Case {
        const char* name;
        const char* command;
        std::optional<bool> notify;
        std::vector<int> codes; // after the command and the device's own end
    };
    const Case cases[] = {
        {"Play unset", "Play", std::nullopt, {1}}, {"Play False", "Play", false, {}},
        {"Play True", "Play", true, {1}},          {"Record unset", "Record", std::nullopt, {1}},
        {"Stop unset", "Stop", std::nullopt, {}},  {"Stop True", "Stop", true, {1}},
        {"Cue False", "Cue", false, {}},           {"Cue True", "Cue", true, {1}},
        {"Open unset", "Open", std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dones.codes.clear();
        fake->currentMode = Mode::Stopped;
        if (c.notify)
            control.setNotify(*c.notify);
        send(c.command);
        if (fake->currentMode == Mode::Playing || fake->currentMode == Mode::Recording)
            fake->end(NotifyCode::Successful);
        drainEvents();
        EXPECT_EQ(dones.codes, c.codes);
        EXPECT_FALSE(control.notify()) << "Notify applies to one command only";
    }
}

TEST_F(MMControlTest, FromAndToGoToTheNextPlayOnlyAndReadBackTheirLastValue)
{
    control.setFrom(100);
    control.setTo(900);
    send("Stop"); // Stop leaves them waiting
    send("Play");
    send("Play");
    ASSERT_EQ(fake->verbs(), (QStringList{"Stop", "Play", "Play"}));
    ASSERT_TRUE(fake->calls[1].range.from && fake->calls[1].range.to);
    EXPECT_EQ(fake->calls[1].range.from->value, 100);
    EXPECT_EQ(fake->calls[1].range.to->value, 900);
    EXPECT_FALSE(fake->calls[2].range.from || fake->calls[2].range.to);
    EXPECT_EQ(control.from(), 100);
    EXPECT_EQ(control.to(), 900);

    control.setFrom(5);
    send("Open"); // Open drops them
    send("Play");
    EXPECT_FALSE(fake->calls.back().range.from);
}

TEST_F(MMControlTest, CommandsIgnoreLetterCaseAndAnUnknownOneOnlySetsError)
{
    send("pLaY");
    EXPECT_EQ(fake->verbs(), QStringList{"Play"});
    EXPECT_EQ(control.error(), 0);

    send("Dance");
    EXPECT_EQ(control.error(), errors::unrecognizedCommand);
    EXPECT_FALSE(control.errorMessage().isEmpty());
    EXPECT_EQ(fake->verbs(), QStringList{"Play"});

    send("STOP"); // the next command clears the error
    EXPECT_EQ(control.error(), 0);
}

TEST_F(MMControlTest, ARefusedPlayChangesNothingAndNotifiesNothing)
{
    send("Play");
    fake->refuseNext = outOfRange(QStringLiteral("past the end"));
    control.setNotify(true);
    send("Play");
    drainEvents();
    EXPECT_EQ(control.error(), errors::outOfRange);
    EXPECT_TRUE(dones.codes.empty()) << "the first play is neither superseded nor reported";
    fake->end(NotifyCode::Successful);
    drainEvents();
    EXPECT_EQ(dones.codes, (std::vector<int>{1}));
}

TEST_F(MMControlTest, ADeviceThatThrowsLeavesAnErrorAndNoException)
{
    fake->throwsNext = true;
    control.setNotify(true);
    EXPECT_NO_THROW(send("Play"));
    EXPECT_EQ(control.error(), errors::outOfMemory);
    EXPECT_NO_THROW(EXPECT_EQ(control.position(), 0));
    EXPECT_EQ(control.error(), errors::outOfMemory);
    fake->throwsNext = false;
    drainEvents();
    EXPECT_TRUE(dones.codes.empty());
}

TEST_F(MMControlTest, AFailureReportedByTheDeviceSetsErrorAndNotifiesFailure)
{
    send("Play");
    fake->end(NotifyCode::Failure, Outcome::failure(errors::hardware, "the sound card is gone"));
    EXPECT_EQ(control.error(), errors::hardware);
    EXPECT_EQ(control.errorMessage(), "the sound card is gone");
    drainEvents();
    EXPECT_EQ(dones.codes, (std::vector<int>{8}));
}

TEST_F(MMControlTest, WaitHoldsPlayUntilItHasEnded)
{
    control.setWait(true);
    send("Play");
    EXPECT_EQ(control.mode(), static_cast<int>(Mode::Stopped));
    EXPECT_FALSE(control.wait());
    drainEvents();
    EXPECT_EQ(dones.codes, (std::vector<int>{1}));
}

TEST_F(MMControlTest, ADoneHandlerThatPlaysAgainLeavesTheWindowResponsive)
{
    fake->endsAtOnce = true;
    bool userActed = false;
    int replays = 0;
    int depth = 0;
    int deepest = 0;
    QObject::connect(&control, &MMControl::done, [&](int) {
        deepest = std::max(deepest, ++depth);
        if (!userActed && replays < 10000) {
            ++replays;
            send("Play");
        }
        --depth;
    });
    send("Play");
    ASSERT_TRUE(eventually([&] { return replays >= 3; }));
    // What the user does comes through the same event loop as the notifications.
    const int before = replays;
    QTimer::singleShot(0, [&] { userActed = true; });
    ASSERT_TRUE(eventually([&] { return userActed; }));
    EXPECT_LT(replays - before, 100);
    EXPECT_EQ(deepest, 1);
}

// A message box's own event loop, as a modal prompt runs one.
void runModalLoop()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&loop] { QTimer::singleShot(0, &loop, &QEventLoop::quit); });
    loop.exec();
}

TEST_F(MMControlTest, NoDoneArrivesWhileTheDoneHandlerShowsAModalPrompt)
{
    std::vector<int> duringPrompt;
    bool inPrompt = false;
    bool prompted = false;
    QObject::connect(&control, &MMControl::done, [&](int code) {
        if (inPrompt)
            duringPrompt.push_back(code);
        if (prompted)
            return;
        prompted = true;
        control.setNotify(true);
        send("Stop");
        inPrompt = true;
        runModalLoop();
        inPrompt = false;
    });
    control.setNotify(true);
    send("Cue");
    drainEvents();
    EXPECT_TRUE(duringPrompt.empty());
    EXPECT_EQ(dones.codes, (std::vector<int>{1, 1}));
}

TEST_F(MMControlTest, ACancelledClickSendsNoCommand)
{
    bool cancelPlay = true;
    QObject::connect(&control, &MMControl::playClick, [&](bool& cancel) { cancel = cancelPlay; });
    control.setAutoEnable(false);
    control.bar()->button(Button::Play)->click();
    EXPECT_TRUE(fake->calls.empty());
    cancelPlay = false;
    control.bar()->button(Button::Play)->click();
    EXPECT_EQ(fake->verbs(), QStringList{"Play"});
}

TEST_F(MMControlTest, EachButtonRaisesItsEventThenSendsItsCommand)
{
    struct Case {
        Button button;
        void (MMControl::*event)(bool&);
        const char* verb;
    };
    const Case cases[] = {
        {Button::Prev, &MMControl::prevClick, "Prev"},
        {Button::Next, &MMControl::nextClick, "Next"},
        {Button::Play, &MMControl::playClick, "Play"},
        {Button::Pause, &MMControl::pauseClick, "Pause"},
        {Button::Back, &MMControl::backClick, "Back"},
        {Button::Step, &MMControl::stepClick, "Step"},
        {Button::Stop, &MMControl::stopClick, "Stop"},
        {Button::Record, &MMControl::recordClick, "Record"},
    };
    control.setAutoEnable(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.verb);
        fake->calls.clear();
        fake->currentMode = Mode::Stopped;
        int raised = 0;
        const auto connection = QObject::connect(&control, c.event, [&](bool&) { ++raised; });
        control.bar()->button(c.button)->click();
        QObject::disconnect(connection);
        EXPECT_EQ(raised, 1);
        EXPECT_EQ(fake->verbs(), QStringList{c.verb});
    }
    fake->calls.clear();
    fake->currentMode = Mode::Paused;
    control.bar()->button(Button::Pause)->click();
    EXPECT_EQ(fake->verbs(), QStringList{"Play"}) << "Pause on a paused device plays on";
}

TEST_F(MMControlTest, TheButtonsFollowTheModeUnlessAutoEnableIsOff)
{
    const auto enabled = [&](Button which) { return control.bar()->button(which)->isEnabled(); };
    send("Play");
    EXPECT_FALSE(enabled(Button::Play));
    EXPECT_TRUE(enabled(Button::Stop));
    fake->end(NotifyCode::Successful);
    EXPECT_TRUE(enabled(Button::Play));
    EXPECT_FALSE(enabled(Button::Stop));

    control.setAutoEnable(false);
    control.setButtonEnabled(Button::Play, false);
    control.setButtonEnabled(Button::Stop, true);
    EXPECT_FALSE(enabled(Button::Play));
    EXPECT_TRUE(enabled(Button::Stop));
    control.setButtonVisible(Button::Eject, false);
    EXPECT_TRUE(control.bar()->button(Button::Eject)->isHidden());
}

TEST_F(MMControlTest, AFormatTheDeviceDoesNotCountInIsRefusedAndTheOldOneStays)
{
    control.setTimeFormat(10);
    EXPECT_EQ(control.error(), errors::badTimeFormat);
    EXPECT_EQ(control.timeFormat(), 0);
    control.setTimeFormat(7);
    EXPECT_EQ(control.timeFormat(), 0);
}

TEST_F(MMControlTest, ATrackOutOfRangeSetsErrorAndItsReadsGiveZero)
{
    control.setTrack(1);
    EXPECT_EQ(control.trackLength(), 1000);
    EXPECT_EQ(control.error(), 0);
    control.setTrack(2);
    EXPECT_EQ(control.error(), errors::outOfRange);
    EXPECT_EQ(control.trackLength(), 0);
    EXPECT_EQ(control.trackPosition(), 0);
}

TEST_F(MMControlTest, StatusUpdatesComeWhileOpenAndNeverPileUpBehindASlowHandler)
{
    const QTimer* timer = control.findChild<QTimer*>(QStringLiteral("statusTimer"));
    ASSERT_NE(timer, nullptr);
    int ticks = 0;
    int depth = 0;
    int deepest = 0;
    QObject::connect(&control, &MMControl::statusUpdate, [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        runModalLoop(); // a slow handler, in a dialog of its own
        --depth;
    });
    for (int interval : {100, 500}) {
        control.setUpdateInterval(interval);
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), interval);
    }
    control.setUpdateInterval(1);
    ASSERT_TRUE(eventually([&] { return ticks >= 3; }));
    EXPECT_EQ(deepest, 1);

    control.setUpdateInterval(0);
    EXPECT_FALSE(timer->isActive());
    control.setUpdateInterval(500);
    send("Close");
    EXPECT_FALSE(timer->isActive()) << "no updates from a closed device";
}

TEST(MMControlWithoutDevice, ButtonsRaiseTheirEventsAndChangeNothing)
{
    MMControl control;
    DoneLog dones{control};
    control.setAutoEnable(false);
    int clicks = 0;
    QObject::connect(&control, &MMControl::stopClick, [&](bool&) { ++clicks; });
    control.bar()->button(Button::Stop)->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(control.error(), errors::deviceTypeRequired);

    control.setNotify(true);
    control.setCommand(QStringLiteral("Play"));
    EXPECT_EQ(control.error(), errors::deviceTypeRequired);
    EXPECT_EQ(control.length(), 0);
    EXPECT_EQ(control.mode(), static_cast<int>(Mode::NotOpen));
    drainEvents();
    EXPECT_TRUE(dones.codes.empty());
}

TEST(MMControlWithoutDevice, AnUnknownDeviceTypeSetsError)
{
    MMControl control;
    control.setDeviceType(QStringLiteral("Theremin"));
    EXPECT_EQ(control.error(), errors::invalidDeviceName);
    EXPECT_EQ(control.deviceType(), QString());
}

TEST(MMControlFocus, GotFocusComesWhenTheFocusEntersTheBar)
{
    QWidget window;
    auto* before = new QToolButton(&window);
    auto* control = new MMControl(&window);
    control->move(0, 40);
    control->setAutoEnable(false); // without a device only this leaves the buttons usable
    int got = 0;
    QObject::connect(control, &MMControl::gotFocus, [&] { ++got; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(eventually([&] { return QApplication::activeWindow() == &window; }));
    before->setFocus();
    control->bar()->button(Button::Play)->setFocus();
    control->bar()->button(Button::Stop)->setFocus();
    EXPECT_EQ(got, 1);
    before->setFocus();
    control->setFocus();
    EXPECT_EQ(got, 2);
}

} // namespace

} // namespace lentaro::mci::test
