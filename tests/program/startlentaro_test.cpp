#include "tests/app/window_fixture.h"

#include "app/frmAbout.h"
#include "app/frmHint.h"
#include "app/pallomirunner.h"
#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "platform/forms/formregistry.h"
#include "program/startlentaro.h"
#include "trace/sentrixreporter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>

#include <dlfcn.h>

#include <optional>

namespace lentaro::test {
namespace {

// The runner library itself, with what its calls returned.
class ObservedPallomi : public PallomiRunner
{
public:
    std::int32_t init(const QString& engineLibraryName) override
    {
        initResult = PallomiRunner::init(engineLibraryName);
        return *initResult;
    }
    std::int32_t cleanUp() override
    {
        cleanUpResult = PallomiRunner::cleanUp();
        return *cleanUpResult;
    }

    std::optional<std::int32_t> initResult;
    std::optional<std::int32_t> cleanUpResult;
};

// Counts the end of the process and leaves the event loop the program runs.
class LoopEndingProcessEnd : public ProcessEnd
{
public:
    void endProcess() override
    {
        ++ends;
        QCoreApplication::exit(0);
    }
    int ends = 0;
};

// The program as it starts: its error reporter answers without a dialog (an error must fail the
// test, not wait for a person), and a run that does not end in time is ended with code 1.
class Program : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        writeFile("SXCLIENT.INI", "[preferences]\nSilent Run=1\n");
        processEndInPlace_.emplace(processEnd, processEnd_);
        runnerInPlace_.emplace(engineRunner, runner_);
        deadline_.setSingleShot(true);
        deadline_.setInterval(30000);
        QObject::connect(&deadline_, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        deadline_.start();
    }
    void TearDown() override
    {
        deadline_.stop();
        runnerInPlace_.reset();
        processEndInPlace_.reset();
        WindowTest::TearDown();
    }

    int start()
    {
        int argc = 1;
        char name[] = "lentaro";
        char* argv[] = {name, nullptr};
        return startLentaro(argc, argv);
    }

    LoopEndingProcessEnd processEnd_;
    ObservedPallomi runner_;

private:
    QTimer deadline_;
    std::optional<ScopedOverride<ProcessEnd>> processEndInPlace_;
    std::optional<ScopedOverride<EngineRunner>> runnerInPlace_;
};

TEST_F(Program, StartsWithTheEngineShowsTheMainWindowAndLeavesThroughTheExitPath)
{
    struct Shown {
        bool splashLoaded = true;
        bool sentrixReports = false;
    };
    std::optional<Shown> shown;
    // The person closes the main window as soon as it is up and start-up is over.
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* main = forms::loadedForm("frmMain");
        if (!main || main->isHidden() || programState().gvStartingUp)
            return;
        user.stop();
        shown = Shown{isLoaded("frmAbout"),
                      dynamic_cast<SentrixReporter*>(&errorReporter()) != nullptr};
        main->close();
    });
    user.start();
    // The first start shows the tutorial hint; the person goes on.
    WhenModal hint([](QWidget& modal) { dynamic_cast<frmHint&>(modal).cmdOK->click(); });

    EXPECT_EQ(start(), 0);

    ASSERT_TRUE(shown);
    EXPECT_TRUE(hint.acted());
    EXPECT_FALSE(shown->splashLoaded);
    EXPECT_TRUE(shown->sentrixReports);
    // The engine beside the runner loaded without a box, and the exit released it.
    EXPECT_EQ(runner_.initResult, 1);
    EXPECT_EQ(runner_.cleanUpResult, 1);
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_EQ(processEnd_.ends, 1);
    EXPECT_TRUE(QFileInfo(path("lentaro.mdb")).isFile());
    EXPECT_EQ(trappedError(), 0) << lastError().description.toStdString();
}

TEST_F(Program, ARootProgramFolderEndsTheRunBeforeTheEventLoop)
{
    qputenv("LENTARO_HOME", "/");

    EXPECT_EQ(start(), 0);

    EXPECT_EQ(shownMessages().size(), 1u);
    EXPECT_EQ(processEnd_.ends, 1);
    EXPECT_FALSE(runner_.initResult);
}

TEST_F(Program, TheRunnersBoxesAreTheProgramsMessageBoxes)
{
    using HostMessageBox = void (*)(const char*, const char*);
    const auto box = reinterpret_cast<HostMessageBox>(dlsym(RTLD_DEFAULT, "lentaroHostMessageBox"));
    ASSERT_NE(box, nullptr) << "the program exports it";

    box("Unable to load libkelvor.so", "KVPlayFile Error");

    ASSERT_EQ(prompts_.messageBoxes().size(), 1u);
    const forms::MessageBoxRequest& shown = prompts_.messageBoxes().front();
    EXPECT_EQ(shown.text, "Unable to load libkelvor.so");
    EXPECT_EQ(shown.caption, "KVPlayFile Error");
    EXPECT_EQ(shown.icon, forms::Icon::Critical);
    EXPECT_EQ(shown.buttons, forms::Buttons::OkOnly);
}

} // namespace
} // namespace lentaro::test
