#include "tests/program/program_fixture.h"

#include "app/frmHint.h"
#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"
#include "program/startlentaro.h"

#include <QCoreApplication>
#include <QPushButton>

namespace lentaro::test {

std::int32_t ObservedPallomi::init(const QString& engineLibraryName)
{
    initResult = PallomiRunner::init(engineLibraryName);
    return *initResult;
}

std::int32_t ObservedPallomi::cleanUp()
{
    cleanUpResult = PallomiRunner::cleanUp();
    return *cleanUpResult;
}

void LoopEndingProcessEnd::endProcess()
{
    ++ends;
    QCoreApplication::exit(0);
}

void Program::SetUp()
{
    WindowTest::SetUp();
    writeFile("SXCLIENT.INI", "[preferences]\nSilent Run=1\n");
    noDrivesInPlace_.emplace(cd::cdDrives, noDrives_);
    processEndInPlace_.emplace(processEnd, processEnd_);
    runnerInPlace_.emplace(engineRunner, runner_);
    deadline_.setSingleShot(true);
    // Ends only a run that hangs: a person's slowest scenario takes about 20 s on its own, more
    // on a loaded machine with the sanitizers.
    deadline_.setInterval(90000);
    QObject::connect(&deadline_, &QTimer::timeout, [] { QCoreApplication::exit(1); });
}

void Program::TearDown()
{
    deadline_.stop();
    runnerInPlace_.reset();
    processEndInPlace_.reset();
    noDrivesInPlace_.reset();
    WindowTest::TearDown();
}

int Program::startAndClose(const std::function<void()>& whenShown)
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

int Program::start()
{
    // Each run of the program has its own time.
    deadline_.start();
    int argc = 1;
    char name[] = "lentaro";
    char* argv[] = {name, nullptr};
    return startLentaro(argc, argv);
}

void ProgramInUse::SetUp()
{
    Program::SetUp();
    ASSERT_TRUE(sound_.isValid());
    capture_ = sound_.filePath(QStringLiteral("capture.wav"));
    qputenv("LENTARO_AUDIO", "null");
    qputenv("LENTARO_AUDIO_CAPTURE", capture_.toUtf8());
    // Real time, so that the status shows the file while it plays.
    qunsetenv("LENTARO_AUDIO_SPEED");
}

frmMain* ProgramInUse::mainWindow()
{
    return forms::loadedFormOf<frmMain>();
}

Person::Step ProgramInUse::exitThroughTheMenu()
{
    return {QStringLiteral("exit"),
            [] {
                choose(main(), {QStringLiteral("File"), QStringLiteral("Exit")});
            },
            {},
            {}};
}

bool ProgramInUse::startedUp()
{
    frmMain* main = mainWindow();
    return main && !main->isHidden() && !programState().gvStartingUp;
}

int ProgramInUse::run(std::vector<Person::Step> steps, int firstNumber)
{
    WhenModal hint([](QWidget& modal) {
        saveScreenshot(modal, QStringLiteral("hint-window"));
        click(captioned<QPushButton>(modal, QStringLiteral("Continue")));
    });
    Person person(std::move(steps), firstNumber);
    const int result = start();
    EXPECT_EQ(person.waitingOn(), QString()) << "the person still waits";
    EXPECT_TRUE(hint.acted());
    return result;
}

void ProgramInUse::endRun()
{
    deleteUnloaded();
    programState() = {};
}

} // namespace lentaro::test
