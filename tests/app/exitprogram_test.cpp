#include "tests/app/app_fixture.h"
#include "tests/app/test_database.h"

#include "app/enginerunner.h"
#include "app/exitprogram.h"
#include "app/programstate.h"
#include "platform/forms/formregistry.h"
#include "trace/runtimeerror.h"

#include <QCloseEvent>
#include <QFile>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace lentaro::test {
namespace {

// What happened during an exit, in order.
using Log = QStringList;

// A window whose close handler logs its name and then does what the test asks.
class Window : public QWidget
{
public:
    Window(QString name, Log& log, std::function<void(QCloseEvent*)> onClose = {})
        : name_(std::move(name)), log_(log), onClose_(std::move(onClose))
    {
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        log_ << QStringLiteral("close ") + name_;
        if (onClose_)
            onClose_(event);
    }

private:
    QString name_;
    Log& log_;
    std::function<void(QCloseEvent*)> onClose_;
};

class Runner : public IdleEngineRunner
{
public:
    explicit Runner(Log& log, bool throws = false) : log_(log), throws_(throws) {}

    std::int32_t stop() override
    {
        log_ << QStringLiteral("stop");
        if (throws_)
            throw RuntimeError(53, QStringLiteral("runner library missing"));
        return 0;
    }
    std::int32_t cleanUp() override
    {
        log_ << QStringLiteral("cleanUp");
        if (throws_)
            throw std::runtime_error("cleanUp failed");
        return 1;
    }

private:
    Log& log_;
    bool throws_;
};

// Logs the end of the process and counts it.
class LoggedProcessEnd : public ProcessEnd
{
public:
    LoggedProcessEnd(Log& log, int& count) : log_(log), count_(count) {}

    void endProcess() override
    {
        ++count_;
        log_ << QStringLiteral("quit");
    }

private:
    Log& log_;
    int& count_;
};

class ExitProgram : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        endInPlace_.emplace(processEnd, end_);
    }

    void TearDown() override
    {
        windows_.clear();
        endInPlace_.reset();
        AppTest::TearDown();
    }

    Window* window(const QString& name, std::function<void(QCloseEvent*)> onClose = {})
    {
        windows_.push_back(std::make_unique<Window>(name, log_, std::move(onClose)));
        return windows_.back().get();
    }

    Log log_;
    std::vector<std::unique_ptr<Window>> windows_;

private:
    LoggedProcessEnd end_{log_, quits_};
    std::optional<ScopedOverride<ProcessEnd>> endInPlace_;
};

TEST_F(ExitProgram, DeletesTheWorkingFilesOnlyWhenAsked)
{
    struct Case {
        const char* name;
        bool deleteTempFiles;
        bool filesPresent;
        QStringList left;
    };
    const Case cases[] = {
        {"delete, present", true, true, {"lentaro.mdb", "other.wav"}},
        {"delete, none present", true, false, {"lentaro.mdb", "other.wav"}},
        {"keep, present", false, true, {"lentaro.mdb", "other.wav", "temp.wav", "tempslow.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : {"temp.wav", "tempslow.wav", "other.wav", "lentaro.mdb"})
            QFile::remove(path(name));
        writeFile("lentaro.mdb", "db");
        writeFile("other.wav", "mine");
        if (c.filesPresent) {
            writeFile("temp.wav", "loop");
            writeFile("tempslow.wav", "slow");
        }
        programState().gvExiting = false;
        programState().gvDeleteTempFiles = c.deleteTempFiles;
        quits_ = 0;

        exitProgram();

        QStringList left = QDir(home()).entryList(QDir::Files);
        left.removeAll("error.log");
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(quits_, 1);
        EXPECT_TRUE(programState().gvExiting);
        EXPECT_TRUE(shownMessages().isEmpty());
        EXPECT_EQ(lastError().number, 0);
    }
}

TEST_F(ExitProgram, StopsAndReleasesTheEngineBeforeClosingWindowsAndEnding)
{
    Runner runner(log_);
    const ScopedOverride runnerInPlace(engineRunner, runner);
    programState().gvDeleteTempFiles = true;
    writeFile("temp.wav", "loop");
    window("main", [this](QCloseEvent*) {
        log_ << (QFile::exists(path("temp.wav")) ? "temp.wav there" : "temp.wav gone");
    });

    exitProgram();

    EXPECT_EQ(log_, (Log{"stop", "cleanUp", "close main", "temp.wav gone", "quit"}));
}

TEST_F(ExitProgram, NestedCallFromAWindowsCloseHandlerReturnsAtOnce)
{
    Runner runner(log_);
    const ScopedOverride runnerInPlace(engineRunner, runner);
    window("main", [this](QCloseEvent*) {
        exitProgram();
        log_ << QStringLiteral("nested call returned");
    });

    exitProgram();

    EXPECT_EQ(log_, (Log{"stop", "cleanUp", "close main", "nested call returned", "quit"}));
    EXPECT_EQ(quits_, 1);
}

TEST_F(ExitProgram, EngineFailuresDoNotStopTheExit)
{
    Runner runner(log_, true);
    const ScopedOverride runnerInPlace(engineRunner, runner);
    programState().gvDeleteTempFiles = true;
    writeFile("tempslow.wav", "slow");

    exitProgram();

    EXPECT_EQ(log_, (Log{"stop", "cleanUp", "quit"}));
    EXPECT_FALSE(QFile::exists(path("tempslow.wav")));
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(ExitProgram, ClosesEveryWindowWhateverTheirHandlersDo)
{
    // Hidden windows are closed too; a handler may refuse, throw, or delete another window.
    Window* shown = window("shown");
    shown->show();
    window("hidden");
    window("refuses", [](QCloseEvent* event) { event->ignore(); });
    window("throws", [](QCloseEvent*) { throw RuntimeError(5); });
    auto victim = std::make_unique<Window>(QStringLiteral("deleted"), log_);
    QPointer<Window> victimAlive = victim.get();
    window("deletes", [&victim](QCloseEvent*) { victim.reset(); });

    exitProgram();

    ASSERT_FALSE(log_.isEmpty());
    EXPECT_EQ(log_.back(), "quit");
    for (const char* name : {"shown", "hidden", "refuses", "throws", "deletes"})
        EXPECT_EQ(log_.count(QStringLiteral("close ") + name), 1) << name;
    // The deleted window was either closed before it went or skipped afterwards.
    EXPECT_LE(log_.count("close deleted"), 1);
    EXPECT_TRUE(victimAlive.isNull());
    EXPECT_FALSE(shown->isVisible());
    EXPECT_EQ(lastError().number, 5);
}

TEST_F(ExitProgram, ClosesTheLoadedWindowsInTheOrderTheyWereLoaded)
{
    window("other"); // a top-level window that was never loaded as a form
    Window* third = window("third");
    Window* first = window("first");
    Window* second = window("second");
    for (Window* loaded : {first, second, third})
        forms::addLoadedForm(loaded);

    exitProgram();

    for (Window* loaded : {first, second, third})
        forms::removeLoadedForm(loaded);
    const Log closes = log_.filter(QStringLiteral("close "));
    EXPECT_EQ(closes, (Log{"close first", "close second", "close third", "close other"}));
}

} // namespace
} // namespace lentaro::test
