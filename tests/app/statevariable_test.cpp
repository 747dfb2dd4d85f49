#include "tests/app/app_fixture.h"

#include "app/programstate.h"
#include "app/stateVariable.h"
#include "trace/runtimeerror.h"

#include <QStringList>

namespace lentaro::test {
namespace {

// One MCI control's transport buttons; every setting lands in a log shared by both controls.
// The control refuses (throws) at the setting numbered refuseAt in the log, counting from 1.
class FakeControl : public TransportButtons
{
public:
    FakeControl(QString name, QStringList& log, int& refuseAt)
        : name_(std::move(name)), log_(log), refuseAt_(refuseAt)
    {
    }

    void setPlayEnabled(bool enabled) override { set(QStringLiteral("Play"), enabled); }
    void setStopEnabled(bool enabled) override { set(QStringLiteral("Stop"), enabled); }

private:
    void set(const QString& button, bool enabled)
    {
        if (log_.size() + 1 == refuseAt_)
            throw RuntimeError(380); // Invalid property value
        log_ << name_ + QLatin1Char('.') + button
                    + (enabled ? QStringLiteral("=True") : QStringLiteral("=False"));
    }

    QString name_;
    QStringList& log_;
    int& refuseAt_;
};

class PlayState : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        state.setControls(&cd, &wave);
    }

    QStringList log;
    int refuseAt = 0;
    FakeControl cd{QStringLiteral("CDControl"), log, refuseAt};
    FakeControl wave{QStringLiteral("WaveControl"), log, refuseAt};
    stateVariable state;
};

TEST_F(PlayState, PlayingDisablesPlayOnBothControlsAndStopStaysEnabled)
{
    EXPECT_FALSE(state.state().isValid());

    state.setState(true);
    EXPECT_EQ(state.state(), QVariant(true));
    EXPECT_EQ(log, (QStringList{"CDControl.Play=False", "WaveControl.Play=False",
                                "CDControl.Stop=True", "WaveControl.Stop=True"}));

    log.clear();
    state.setState(false);
    EXPECT_EQ(state.state(), QVariant(false));
    EXPECT_EQ(log, (QStringList{"CDControl.Play=True", "WaveControl.Play=True",
                                "CDControl.Stop=True", "WaveControl.Stop=True"}));
}

TEST_F(PlayState, AnObjectIsHeldWithoutTouchingTheControls)
{
    QObject holder;
    state.setState(&holder);
    EXPECT_EQ(state.state().value<QObject*>(), &holder);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(PlayState, AControlThatRefusesEndsTheAssignmentQuietly)
{
    refuseAt = 2;
    state.setState(true);
    EXPECT_EQ(state.state(), QVariant(true));
    EXPECT_EQ(log, QStringList{"CDControl.Play=False"});
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(PlayState, WithoutAMainWindowOnlyTheValueIsKept)
{
    stateVariable alone;
    alone.setState(true);
    EXPECT_EQ(alone.state(), QVariant(true));
    EXPECT_EQ(trappedError(), 0);
}

TEST_F(PlayState, ResettingTheProgramStateEmptiesThePlayStateAndForgetsItsControls)
{
    programState().gvPlayState.setControls(&cd, &wave);
    programState().gvPlayState.setState(true);
    log.clear();

    programState() = {};

    EXPECT_FALSE(programState().gvPlayState.state().isValid());
    programState().gvPlayState.setState(false);
    EXPECT_TRUE(log.isEmpty());
}

class GvPlayState : public AppTest
{};

TEST_F(GvPlayState, IsOneInstanceForTheWholeProgram)
{
    programState().gvPlayState.setState(true);
    EXPECT_EQ(programState().gvPlayState.state(), QVariant(true));
}

} // namespace
} // namespace lentaro::test
