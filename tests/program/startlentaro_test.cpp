#include "tests/app/window_fixture.h"

#include "app/frmAbout.h"
#include "app/frmHint.h"
#include "app/pallomirunner.h"
#include "app/programstate.h"
#include "app/windowhelpers.h"
#include "mainwindow/frmMain.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "platform/forms/formregistry.h"
#include "program/startlentaro.h"
#include "trace/sentrixreporter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <functional>
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

    // Starts the program; the person closes the main window as soon as it is up and start-up is
    // over, after `whenShown` has looked at it, and answers the first start's tutorial hint.
    int startAndClose(const std::function<void()>& whenShown)
    {
        QTimer user;
        user.setInterval(10);
        QObject::connect(&user, &QTimer::timeout, [&] {
            QWidget* main = forms::loadedFormOf<frmMain>();
            if (!main || main->isHidden() || programState().gvStartingUp)
                return;
            user.stop();
            whenShown();
            main->close();
        });
        user.start();
        WhenModal hint([](QWidget& modal) { dynamic_cast<frmHint&>(modal).cmdOK->click(); });
        const int result = start();
        hintAnswered_ = hint.acted();
        return result;
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
    bool hintAnswered_ = false;

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

    EXPECT_EQ(startAndClose([&] {
                  shown = Shown{isLoaded("frmAbout"),
                                dynamic_cast<SentrixReporter*>(&errorReporter()) != nullptr};
              }),
              0);

    ASSERT_TRUE(shown);
    EXPECT_TRUE(hintAnswered_);
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

TEST_F(Program, ACdDriveHeldByAnotherProgramIsToldAtStart)
{
    writeFile("disc.cue", "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    writeFile("disc.bin", QByteArray(2352 * 75, '\0'));
    std::vector<std::unique_ptr<cd::Drive>> drives;
    drives.push_back(std::make_unique<cd::ImageDrive>(path("disc.cue").toStdString()));
    cd::DriveList oneDrive(std::move(drives));
    const ScopedOverride drivesInPlace(cd::cdDrives, oneDrive);
    // Another program holds the drive as the layer sees it: an exclusive lock on the image.
    const int other = ::open(path("disc.cue").toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    EXPECT_EQ(startAndClose([] {}), 0);
    ::close(other);

    ASSERT_FALSE(prompts_.messageBoxes().empty());
    EXPECT_EQ(prompts_.messageBoxes().front().text,
              "Another application has hold of the CD driver. Close that application if you "
              "wish this one to gain control.");
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
